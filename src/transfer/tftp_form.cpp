#include "transfer/tftp_form.h"

#include <algorithm>

#include "platform/event_loop.h"
#include "platform/printable_text.h"
#include "transfer/completion_codes.h"
#include "transfer/tftp_packets.h"
#include "ui/controls.h"

namespace fwu {

namespace {

// The name the router stores the file under: the temporary file's own name,
// whichever separator the path uses, cut to the 31 characters the packet
// had room for.
std::string TftpFileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, 31);
}

std::string TooLargeText(const std::string& path, std::uint64_t size) {
  return "File too large for TFTP upgrade: " + path + " (" + std::to_string(size) + " Bytes, at most " +
         std::to_string(tftp::kLargestFile) + ")";
}

}  // namespace

TTFTPForm::TTFTPForm(EventLoop& loop, DatagramComponent& UDP1, NoticePresenter& notices, Dialogs& dialogs)
    : loop_(loop),
      UDP1_(UDP1),
      notices_(notices),
      dialogs_(dialogs),
      TFTPTimer_(loop, kTimerIntervalMs, [this] { TFTPTimerTimer(); }),
      retransmitTimer_(loop, TftpFileSender::kRetransmitMs, [this] { RetransmitTimerTimer(); }),
      rebootNoticeTimer_(loop, kRebootNoticeMs, [this] { RebootNoticeTimerTimer(); }),
      rebootWaitTimer_(loop, kRebootWaitMs, [this] { FinishRecovery(); }) {
  UDP1_.OnDataReceived = [this](int numberBytes, const std::string& fromIP, int port) {
    UDP1DataReceived(numberBytes, fromIP, port);
  };
  UDP1_.OnDataSend = [this] { UDP1DataSend(); };
}

TTFTPForm::~TTFTPForm() {
  // The endpoint may outlive the window; it must not call into it then.
  UDP1_.OnDataReceived = nullptr;
  UDP1_.OnDataSend = nullptr;
}

void TTFTPForm::Log(const std::string& line) { log_->AddLine(line); }

void TTFTPForm::SetStatus(const std::string& text) { status_->SetText(text); }

void TTFTPForm::UploadFiles(std::atomic<std::int16_t>& stopCounter, std::atomic<std::int16_t>& upgradeState,
                            LogSink& log, StatusBarModel& status, ProgressBarModel& progress,
                            const FileTable& files, const std::string& host, const std::string& romId,
                            int deviceType) {
  UploadCount_ = 0;
  run_.Reset();
  stopCounter_ = &stopCounter;
  upgradeState_ = &upgradeState;
  log_ = &log;
  status_ = &status;
  progress_ = &progress;
  files_ = &files;
  host_ = host;
  selector_ = std::make_unique<FileSelector>(kTftpProfile, files, SelectionTarget{romId, deviceType}, log,
                                             notices_, dialogs_);
  fileOpen_ = 0;
  tooLarge_ = false;
  lastResendMs_.reset();
  totalLength_ = TotalUploadLength();
  state_ = RunState::Idle;
  row_ = 0;
  SentCount_ = 0;
  UDP1_.Open();
  TFTPTimer_.SetEnabled(true);
  progress.SetMax(totalLength_ > 0 ? static_cast<int>(totalLength_ / tftp::kBlockSize) : 0);
  progress.SetPosition(0);
  // A file the block numbers cannot cover would wrap them and corrupt the
  // image on the router: nothing is sent at all.
  if (tooLarge_) {
    state_ = RunState::Failed;
    EndRunNow();
    return;
  }
  TakeSelection(selector_->SelectNextFile(0, run_));
  if (state_ != RunState::Sending) {
    EndRunNow();
    return;
  }
  const std::string& path = files[static_cast<std::size_t>(row_)].path;
  Log("Send file: " + path + " to " + host_);
  if (StartFile(host_, path) < 0) {
    state_ = RunState::Failed;
    EndRunNow();
  }
}

void TTFTPForm::TakeSelection(int result) {
  if (SelectionResult::IsRow(result)) {
    row_ = result;
    state_ = RunState::Sending;
  } else if (result == SelectionResult::kNoMoreFiles) {
    state_ = RunState::AllSent;
  } else {
    // Nothing to send, or a message file that could not be opened.
    state_ = RunState::Failed;
  }
}

std::int64_t TTFTPForm::TotalUploadLength() {
  SelectionRun scratch;
  std::int64_t total = 0;
  for (int row = selector_->SilentNextFile(0, scratch); SelectionResult::IsRow(row);
       row = selector_->SilentNextFile(row + 1, scratch)) {
    const std::string& path = (*files_)[static_cast<std::size_t>(row)].path;
    ReadOnlyFile file;
    if (!file.Open(path)) {
      Log("File Seek error : " + path);
      return -1;
    }
    if (!tftp::FitsBlockNumbers(file.Size())) {
      Log(TooLargeText(path, file.Size()));
      tooLarge_ = true;
    }
    total += static_cast<std::int64_t>(file.Size());
  }
  Log("Upgrade File Length : " + std::to_string(total));
  return total;
}

void TTFTPForm::EndRunNow() {
  TFTPTimer_.SetEnabled(false);
  TFTPTimerTimer();
}

int TTFTPForm::StartFile(const std::string& host, const std::string& path) {
  if (row_ > 0) SetStatus("Upgrade Not Complete Please Wait to Continue...");
  const std::string name = TftpFileName(path);
  Log(name);
  if (fileOpen_ != 0) {
    CloseFile();
    fileOpen_ = 0;
  }
  if (!file_.Open(path)) {
    Log("File Open Error! " + path);
    return -1;
  }
  fileOpen_ = 1;
  const std::uint64_t size = file_.Size();
  Log("Open File : " + path);
  Log("Size: " + std::to_string(size) + " Bytes");
  Log("Segment: " + std::to_string(size / tftp::kBlockSize));
  Log("mod: " + std::to_string(size % tftp::kBlockSize));
  SetStatus("Initial Upgrade Information...");
  UDP1_.SetRemoteHost(host);
  UDP1_.SetRemotePort(tftp::kServerPort);
  const TftpStep step = sender_.Start(name, file_);
  if (step.outcome == TftpStep::Outcome::TooLarge) {
    Log(TooLargeText(path, size));
    return -1;
  }
  Perform(step);
  ++UploadCount_;
  Log("Begin to Send " + path + " to   " + host);
  return 1;
}

void TTFTPForm::SendReadRequest(const std::string& host, const std::string& name, const std::string& mode) {
  UDP1_.SetRemoteHost(host);
  UDP1_.SetRemotePort(tftp::kServerPort);
  const Bytes request = tftp::Request(tftp::kReadRequest, name, mode);
  UDP1_.SendBuffer(request.data(), request.size());
}

void TTFTPForm::Perform(const TftpStep& step) {
  if (step.outcome == TftpStep::Outcome::Send) UDP1_.SendBuffer(step.datagram.data(), step.datagram.size());
  if (step.timer == TftpStep::Timer::Arm) {
    retransmitTimer_.SetEnabled(false);  // a fresh second for this datagram
    retransmitTimer_.SetEnabled(true);
  } else if (step.timer == TftpStep::Timer::Stop) {
    retransmitTimer_.SetEnabled(false);
  }
}

void TTFTPForm::UDP1DataReceived(int /*numberBytes*/, const std::string& fromIP, int /*port*/) {
  std::uint8_t packet[tftp::kLargestPacket];
  const std::size_t length = UDP1_.ReadBuffer(packet, sizeof packet);
  // A boot loader may answer from any port, so only the address is checked:
  // an acknowledgement or error from another host on the LAN must neither
  // move nor end the recovery of this router.
  if (!host_.empty() && fromIP != host_) return;
  const TftpStep step = sender_.OnDatagram(std::span<const std::uint8_t>(packet, length));
  if (step.error) {
    OnRouterError(step);
  } else if (step.acknowledged) {
    OnAcknowledged(step);
  }
}

void TTFTPForm::OnRouterError(const TftpStep& step) {
  const TftpStep::RouterError& error = *step.error;
  std::string text = PrintableText(error.text);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) > 0x7F) c = '?';
  }
  Log("Router answered TFTP error " + std::to_string(error.code) + ": " + text);
  // Once the last file's last block is acknowledged the router holds every
  // image: whatever it says about an earlier datagram, the reboot order is
  // what is left to send.
  if (state_ != RunState::Sending) return;
  if (AnswersAResend(error)) return;
  fileOpen_ = 0;
  progress_->SetPosition(0);
  CloseFile();
  state_ = RunState::Failed;
}

bool TTFTPForm::AnswersAResend(const TftpStep::RouterError& error) const {
  return error.code == tftp::kUnknownTransferId && lastResendMs_ &&
         loop_.NowMs() - *lastResendMs_ <= static_cast<std::int64_t>(watchdogSeconds_) * 1000;
}

void TTFTPForm::OnAcknowledged(const TftpStep& step) {
  Log("Recv : " + std::to_string(*step.acknowledged));
  // Every acknowledged block is progress, so the watchdog measures the
  // router's silence and not the size of the image.
  *stopCounter_ = 0;
  Perform(step);
  switch (step.outcome) {
    case TftpStep::Outcome::ReadError:
      Log("Read Error");
      state_ = RunState::Failed;
      break;
    case TftpStep::Outcome::FileSent:
      StartNextFile();
      break;
    default:
      break;
  }
}

void TTFTPForm::StartNextFile() {
  TakeSelection(selector_->SelectNextFile(row_ + 1, run_));
  if (state_ != RunState::Sending) return;  // the timer ends the run
  *stopCounter_ = 0;
  if (StartFile(host_, (*files_)[static_cast<std::size_t>(row_)].path) < 0) {
    state_ = RunState::Failed;
    EndRunNow();
  }
}

void TTFTPForm::RetransmitTimerTimer() {
  const TftpStep step = sender_.OnRetransmitDue();
  if (step.outcome == TftpStep::Outcome::Send) {
    Log("No answer from router, send again: " + std::to_string(step.retransmission));
    lastResendMs_ = loop_.NowMs();
  }
  Perform(step);
}

void TTFTPForm::CloseFile() {
  sender_.Stop();
  retransmitTimer_.SetEnabled(false);
  file_.Close();
}

void TTFTPForm::CloseRun() {
  TFTPTimer_.SetEnabled(false);
  rebootNoticeTimer_.SetEnabled(false);
  rebootWaitTimer_.SetEnabled(false);
  CloseFile();
  UDP1_.Close();
  state_ = RunState::Idle;
  fileOpen_ = 0;
}

void TTFTPForm::UDP1DataSend() {
  Log("Sent " + std::to_string(SentCount_) + " ..");
  SetStatus("Beginning Upgrade. Do Not Exit Until Upgrade Complete !");
  ++SentCount_;
  progress_->SetPosition(SentCount_);
}

void TTFTPForm::TFTPTimerTimer() {
  if (state_ == RunState::AllSent) {
    SendRebootOrder();
  } else if (state_ == RunState::Failed) {
    ReportFailure();
  }
}

// The router is told to reboot and given seven seconds for it. The wait is
// two timers rather than a busy wait, so that a request to end the program
// meanwhile is heard at once.
void TTFTPForm::SendRebootOrder() {
  state_ = RunState::RebootWait;
  CloseFile();
  TFTPTimer_.SetEnabled(false);
  progress_->SetPosition(progress_->Max());
  Log(" Recover Success");
  *stopCounter_ = report::kTftpSent;
  SetStatus("Success Upgrade and Wait to Reboot");
  SendReadRequest(host_, "R!", "octet");
  *upgradeState_ = state::kTftpDone;
  Log("Total upgrade file count in TFTP mode: " + std::to_string(UploadCount_));
  rebootNoticeTimer_.SetEnabled(true);
}

void TTFTPForm::RebootNoticeTimerTimer() {
  rebootNoticeTimer_.SetEnabled(false);
  SetStatus("Rebooting Router...");
  rebootWaitTimer_.SetEnabled(true);
}

void TTFTPForm::FinishRecovery() {
  CloseRun();
  SetStatus("Recover success");
  *stopCounter_ = report::kTftpRebooting;
}

void TTFTPForm::ReportFailure() {
  CloseRun();
  Log("Recover process not be accept for router.");
  *upgradeState_ = state::kTftpFailed;
  *stopCounter_ = report::kTftpRefused;
}

void TTFTPForm::EndNow() {
  switch (state_) {
    case RunState::Idle:
      return;
    case RunState::RebootWait:
      FinishRecovery();
      return;
    default:
      CloseRun();
      *upgradeState_ = state::kTftpFailed;
      return;
  }
}

}  // namespace fwu
