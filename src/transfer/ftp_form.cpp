#include "transfer/ftp_form.h"

#include <algorithm>

#include "net/ftp_exceptions.h"
#include "platform/binary_file.h"
#include "platform/event_loop.h"
#include "transfer/transfer_view.h"
#include "transfer/upload_total.h"
#include "ui/controls.h"
#include "ui/main_window_models.h"

namespace fwu {
namespace {

constexpr const char* kIncorrectPassword = "Incorrect password. Please check and input again!";
constexpr const char* kUpgradeFileError = "Upgrade File Error";
constexpr int kRomProgressMax = 300;

bool Begins(const std::string& message, const char* code) { return message.starts_with(code); }

}  // namespace

std::string RemoteUploadName(const std::string& path) {
  std::string name = path;
  if (name.ends_with(".tmp")) name.resize(name.size() - 4);
  const std::size_t cut = name.find_last_of("\\/");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

TmyFTPForm::TmyFTPForm(EventLoop& loop, NoticePresenter& notices, Dialogs& dialogs)
    : loop_(loop), notices_(notices), dialogs_(dialogs), FTP1_(loop) {
  FTP1_.Port = 21;
  FTP1_.TimeOut = 1000;
  FTP1_.ReportLevel = 8;
  FTP1_.Passive = false;
  BindEvents();
}

TmyFTPForm::~TmyFTPForm() = default;

void TmyFTPForm::BindEvents() {
  FTP1_.OnConnect = [this] { view_->SetStatus("Connecting to device"); };
  FTP1_.OnPacketSent = [this] {
    view_->SetStatus("Upgrading! Do NOT exit or power off the device.");
    // Every block that leaves is progress: a large image on a slow link
    // must not look stalled to the watchdog.
    if (StopCounter_) StopCounter_->store(0);
  };
  // The running total of the transfer is added each time, so the bar runs
  // ahead of the bytes; it is capped at its maximum.
  FTP1_.OnPacketRecvd = [this] { AdvanceProgress(FTP1_.GetBytesRcvd()); };
  FTP1_.OnStatus = [this](const std::string& text) { FTP1Status(text); };
  FTP1_.OnError = [this](int number, const std::string& text) {
    view_->AddLine("Error " + std::to_string(number) + ": " + text);
  };
  // Every failing reply reaches the caller as an exception.
  FTP1_.OnFailure = [](bool&, TFtpClient::TransferKind) {};
}

void TmyFTPForm::Configure(const std::string& host, const std::string& password) {
  FTP1_.ReportLevel = 2;
  FTP1_.Host = host;
  FTP1_.Port = serverPort_;
  FTP1_.UserID = "root";
  FTP1_.Password = password;
  // Images and ROM data are binary. A server left at the standard's
  // default type (ASCII) would rewrite their line ends in transit, so the
  // type is asked for; a router that does not know the command is not
  // held to it. (Filled rather than assigned: GCC 12 warns of an overlap
  // that cannot happen when a one-letter literal is assigned here.)
  FTP1_.TransferType.assign(1, 'I');
}

void TmyFTPForm::FTP1Status(const std::string& text) {
  if (text.compare(0, 3, "429") != 0) return;
  CurrentIndex_ = kImageRejected;
  ResultText_ = "Incorrect upgrade file. Please check again!";
  view_->AddLine("Upgrade file error");
}

void TmyFTPForm::AdvanceProgress(std::int64_t bytes) {
  const std::int64_t room = std::int64_t{progress_->Max()} - progress_->Position();
  view_->AdvanceProgress(std::clamp<std::int64_t>(bytes, 0, std::max<std::int64_t>(room, 0)));
}

void TmyFTPForm::DisconnectQuietly() {
  try {
    FTP1_.Disconnect();
  } catch (const std::exception&) {
    // The connection is closed either way; the run's outcome is decided.
  }
}

int TmyFTPForm::UploadFiles(const TransferJob& job) {
  UploadCount_ = 0;
  run_.Reset();
  MainWindowModels& window = job.window;
  view_ = std::make_unique<ModelTransferView>(window.Memo1, window.StatusBar1, window.ProgressBar1);
  progress_ = &window.ProgressBar1;
  StopCounter_ = &job.progressChannel;
  Configure(job.selectedIP, job.password);
  FileSelector selector(kFtpProfile, job.files, SelectionTarget{job.selectedROMID, job.selectedType}, *view_,
                        notices_, dialogs_);
  const std::int64_t total =
      TotalUploadLength(selector, job.files, kFtpProfile.enableBit, *view_, ResultText_);
  if (total < 0) {
    ResultText_ = "Get total upgrade fle length error";
    view_->AddLine(ResultText_);
    return -1;
  }
  view_->ResetProgress(total);
  run_.moduleFilePut = false;
  CurrentIndex_ = kBeforeFirstScan;
  try {
    FTP1_.Connect();
    AdvanceProgress(total / 32);
    for (;;) {
      if (CurrentIndex_ == kImageRejected) {
        DisconnectQuietly();
        return -1;
      }
      CurrentIndex_ = selector.SelectNextFile(CurrentIndex_ + 1, run_);
      if (CurrentIndex_ == SelectionResult::kNoMoreFiles) {
        ResultText_ = "Upgrade Successfully !";
        FTP1_.Disconnect();
        view_->AddLine("Total upgrade file count in FTP mode: " + std::to_string(UploadCount_));
        view_->SetStatus("Upgrade Successfully");
        return 1;
      }
      if (CurrentIndex_ == SelectionResult::kNothingToSend) {
        ResultText_ = "FTP upgrade Failure !";
        view_->AddLine("Get error file index in FTP mode");
        DisconnectQuietly();
        return -1;
      }
      if (CurrentIndex_ == SelectionResult::kMessageFileError) {
        // A notice that cannot be read never stops the upgrade: the scan
        // goes on after the message file it could not open.
        CurrentIndex_ = run_.failedMessageRow;
        continue;
      }
      if (!FTP1_.Connected()) {
        ResultText_ = "FTP connect failure in upgrading !";
        DisconnectQuietly();
        return -1;
      }
      const FileRow& row = job.files[static_cast<std::size_t>(CurrentIndex_)];
      const int result = UploadOne(job, row.path);
      if (result != 1) return result;
    }
  } catch (const std::exception& failure) {
    return OuterFailure(failure.what(), true);
  }
}

int TmyFTPForm::UploadOne(const TransferJob& job, const std::string& path) {
  job.progressChannel.store(0);
  std::uint64_t size = 0;
  {
    ReadOnlyFile local;
    if (!local.Open(path)) {
      ResultText_ = kUpgradeFileError;
      // The login is not left open for a later run to reuse unasked.
      DisconnectQuietly();
      return -4;
    }
    size = local.Size();
  }
  try {
    FTP1_.Upload(path, RemoteUploadName(path));
  } catch (const FTPTransferNotComplete& failure) {
    // The status watch has already told the user why the router refused it.
    if (CurrentIndex_ != kImageRejected) return FileFailure(failure.what());
    DisconnectQuietly();
    return -1;
  } catch (const std::exception& failure) {
    return FileFailure(failure.what());
  }
  AdvanceProgress(static_cast<std::int64_t>(size));
  ++UploadCount_;
  return 1;
}

int TmyFTPForm::FileFailure(const std::string& message) {
  if (Begins(message, "550")) {
    DisconnectQuietly();
    view_->SetStatus("Please ReSelect Upgrade File Again.");
    view_->AddLine(kUpgradeFileError);
    ResultText_ = kUpgradeFileError;
    return -4;
  }
  view_->AddLine("Unknow error1 in FTP mode:" + message);
  ResultText_ = "Unknow exception :" + message;
  // The login is not left open for a later run to reuse unasked.
  DisconnectQuietly();
  return -1;
}

int TmyFTPForm::OuterFailure(const std::string& message, bool upload) {
  if (Begins(message, "530")) {
    DisconnectQuietly();
    view_->AddLine(upload ? "Password Error" : "Get Rom File Password Error");
    ResultText_ = kIncorrectPassword;
    view_->SetStatus(kIncorrectPassword);
    return -2;
  }
  if (FTP1_.Connected()) {
    DisconnectQuietly();
    view_->SetStatus("Unknow exception terminate.");
    view_->AddLine("Unknow exception in FTP mode while connected");
    ResultText_ = "Unknow exception";
    return -1;
  }
  if (upload) {
    view_->AddLine("Unknow error2 in FTP mode." + message);
    ResultText_ = "Unknow exception2" + message;
  } else {
    view_->AddLine("Unknow error3 in FTP mode.(NO Connect)");
    ResultText_ = "Unknow exception with NO Connect ";
  }
  return -1;
}

int TmyFTPForm::GetRomFile(const RomRequest& request) {
  MainWindowModels& window = request.window;
  view_ = std::make_unique<ModelTransferView>(window.Memo1, window.StatusBar1, window.ProgressBar1);
  progress_ = &window.ProgressBar1;
  StopCounter_ = nullptr;
  Configure(request.address, request.password);
  view_->ResetProgress(kRomProgressMax);
  try {
    FTP1_.Connect();
    if (!FTP1_.Connected()) {
      ResultText_ = "FTP connect failure in get Rom File !";
      DisconnectQuietly();
      return -1;
    }
    return DownloadRom(request);
  } catch (const std::exception& failure) {
    return OuterFailure(failure.what(), false);
  }
}

int TmyFTPForm::DownloadRom(const RomRequest& request) {
  try {
    FTP1_.Download(request.rangeText, request.localFile, request.length);
  } catch (const std::exception& failure) {
    const std::string message = failure.what();
    DisconnectQuietly();
    if (Begins(message, "550")) {
      view_->SetStatus("Get Rom File command error.");
      view_->AddLine("Get Rom File Error");
      ResultText_ = "Get Rom File Error";
      return -1;
    }
    view_->AddLine("Unknow error in FTP mode.");
    ResultText_ = message.substr(0, 3);
    return -3;
  }
  view_->AddLine("Data=" + request.rangeText);
  view_->AddLine("Save data to :" + request.localFile);
  // The login is not kept for a later operation to reuse unasked.
  DisconnectQuietly();
  return 1;
}

}  // namespace fwu
