#include "app/http_thread.h"
#include "app/masked_password.h"
#include "app/upgrade_codes.h"
#include "app/upgrade_form.h"
#include "app/upgrade_texts.h"
#include "bundle/bundle_reader.h"
#include "notice/notice_presenter.h"
#include "platform/ascii_case.h"
#include "platform/files.h"
#include "search/device_search.h"

namespace fwu {

namespace {

constexpr const char* kNull = "null";  // compared exactly: "NULL" is a value

}  // namespace

TUpgradeForm1::TUpgradeForm1(UpgradeFormServices services, std::vector<std::string> arguments,
                             std::string programPath)
    : services_(services),
      arguments_(std::move(arguments)),
      programPath_(std::move(programPath)),
      StopTimer_(services.loop, 1000, [this] { StopTimerTimer(); }) {}

// The worker writes into members declared after it; it must be gone first.
TUpgradeForm1::~TUpgradeForm1() { StopHttpWorker(); }

void TUpgradeForm1::FormCreate() {
  Log(text::kProgramVersion);
  Log(text::kProgramBuild);

  ROMID_ = "Kavlor";
  InitialSetting_.SetByte(InitialSetting::kFlagsOffset, 159);
  GetMode_ = PutMode_ = LogMode_ = MethodFirst_ = FactoryRelease_ = 0;
  TimeOut_ = 20;

  ParamMode_ = arguments_.size() >= 4 ? 1 : 0;
  if (ParamMode_) ApplyCommandLine();

  reader_ = std::make_unique<BundleReader>(services_.dialogs, services_.notices);
  SearchDetail_ = 111;
  FullHeight_ = static_cast<std::uint16_t>(models_.window.Height());
  UpgradeMethod_ = 0;
  SectionIDCheck_ = 0;
  SectionList_.clear();
  const int opened = reader_->ReadinputExeFile(programPath_);

  // With parameters the bundle's files stay out of FileList: the command
  // line decides what is sent.
  if (ParamMode_ && !(models_.UpdateFileName.Text().empty() && GetMode_)) return;
  OpenBundle(opened);
}

void TUpgradeForm1::OpenBundle(int opened) {
  if (opened == -2) {
    EndProgram();
    return;
  }
  if (opened == -1) {
    services_.dialogs.ShowMessage({text::kReadImbedFileError, "Initial Error", ButtonSet::Ok});
    EndProgram();
    return;
  }
  if (opened == 0) {
    FileListValid_ = 0;
    Log("No Imbed File Found !!");
  } else {
    reader_->ListToLog(models_.Memo1);
    if (reader_->CountUpgradeFiles() == 0) {
      FileListValid_ = 0;
      Log("No Upgrade File Found !!");
    } else {
      FileListValid_ = 1;
    }
  }
  reader_->CopyFileTable(FileList_);
}

void TUpgradeForm1::ApplyCommandLine() {
  const auto& args = arguments_;  // args[0] is the first argument after the program
  const std::string& address = args[1];
  if (address == kNull) {
    models_.IPComBox.SetText("");
    Log("Set DST IP = null in parameter input");
  } else {
    models_.IPComBox.SetText(address);
    Log("Set DstIP = " + address + " in parameter input");
  }
  const std::string& password = args[2];
  if (password == kNull) {
    models_.PasswordComBox.SetText("");
    Log("Set password = null in parameter input");
  } else {
    models_.PasswordComBox.SetText(password);
    presetPassword_ = password;
    Log("Set password = " + MaskedPassword(password) + " in parameter input");
  }
  const std::string& romId = args[3];
  if (romId == kNull) {
    ROMID_.clear();
    Log("Set ROMID = null in parameter input");
  } else {
    ROMID_ = romId;
    Log("Set ROMID = " + romId + " in parameter input");
  }

  const std::string operation = AsciiLower(args[0]);
  const std::size_t count = args.size();
  if (operation == "put" || operation == "set") {
    if (operation == "put") PutMode_ = 1;
    const auto isLog = [](const std::string& word) { return AsciiLower(word) == "log"; };
    if (count == 5) {
      if (isLog(args[4])) {
        LogMode_ = 1;
      } else {
        SetUserFile(args[4], ";");
      }
    } else if (count == 6) {
      if (!isLog(args[4])) SetUserFile(args[4], ";");
      if (isLog(args[5])) {
        LogMode_ = 1;
      } else {
        ClearParameters();
      }
    } else if (count != 4) {
      ClearParameters();
    }
    return;
  }
  // The record's fields are fixed in width; a value that does not fit is a
  // wrong command line, not something to cut silently.
  if (operation == "get" && count == 7 && InitialSetting_.SetText(InitialSetting::kRomOffset, args[4]) &&
      InitialSetting_.SetText(InitialSetting::kRomLength, args[5]) &&
      InitialSetting_.SetText(InitialSetting::kRomFile, args[6])) {
    models_.UpdateFileName.SetText(NativePath(args[6]) + ";");
    GetMode_ = 1;
    models_.window.SetCaption(text::kRomDownloadCaption);
    return;
  }
  ClearParameters();
}

void TUpgradeForm1::ClearParameters() {
  models_.IPComBox.SetText("");
  models_.PasswordComBox.SetText("");
  presetPassword_.clear();
  models_.UpdateFileName.SetText("");
  ROMID_ = "Kavlor";
  ParamMode_ = LogMode_ = GetMode_ = PutMode_ = 0;
  Log("Clear all setting by parameter input error.");
}

void TUpgradeForm1::EndProgram() {
  services_.application.Terminate();
  ReleaseWindow();
  StartupFailed_ = 1;
}

void TUpgradeForm1::EndOnRequest(const std::string& request) {
  if (closed_) return;
  Log("Program ended by " + request);
  services_.application.Terminate();
  // The worker is stopped and waited for first: an upgrade it finished
  // before the request stays a success.
  ReleaseWindow();
  if (UpgradeState_ == state::kHttpRunning) UpgradeState_ = state::kHttpFailed;
  if (UpgradeState_ == state::kTftpRunning) UpgradeState_ = state::kTftpFailed;
}

void TUpgradeForm1::ReleaseWindow() {
  if (closed_) return;
  StopTimer_.SetEnabled(false);
  closed_ = true;
  models_.window.SetVisible(false);
  StopHttpWorker();
  if (services_.tftp) {
    services_.tftp->EndNow();
    // A recovery that only waited for the reboot is complete: its letters
    // decide, as ever, whether it wrote every section.
    if (UpgradeState_ == state::kTftpDone) SectionResult_ = services_.tftp->UpgradeSection();
  }
  reader_.reset();  // deletes every temporary file
}

std::string TUpgradeForm1::SelectedAddressText() const {
  const std::string& text = models_.IPComBox.Text();
  return text.substr(0, text.find(' '));
}

TUpgradeForm1::Modes TUpgradeForm1::CurrentModes() const {
  return Modes{PutMode_ != 0,     GetMode_ != 0,        ParamMode_ != 0,
               LogMode_ != 0,     AutoRun_ != 0,        Interactive_ != 0,
               MethodFirst_ != 0, FactoryRelease_ != 0, SectionIDCheck_ != 0};
}

}  // namespace fwu
