#include "app/upgrade_form.h"
#include "app/http_thread.h"
#include "app/login_router.h"
#include "app/upgrade_codes.h"
#include "app/upgrade_texts.h"
#include "search/device_search.h"
#include "transfer/completion_codes.h"

namespace fwu {

namespace {

// Written by StopTimer after each tick; transports only ever write 0 or a
// completion code, so this tells "no report since the last tick".
constexpr std::int16_t kNoReport = -1;

bool IsFailed(std::int16_t upgradeState) {
  return upgradeState == state::kTftpFailed || upgradeState == state::kHttpFailed ||
         upgradeState == state::kFtpFailed;
}

bool IsRunning(std::int16_t upgradeState) {
  return upgradeState == state::kTftpRunning || upgradeState == state::kHttpRunning ||
         upgradeState == state::kFtpRunning;
}

}  // namespace

bool TUpgradeForm1::Idle() const { return !StopTimer_.Enabled() && !IsRunning(UpgradeState_); }

bool TUpgradeForm1::Succeeded() const {
  if (romSaved_) return true;
  const std::int16_t upgradeState = UpgradeState_;
  const bool done = upgradeState == state::kTftpDone || upgradeState == state::kHttpDone ||
                    upgradeState == state::kFtpDone;
  // A run that left a section of the bundle unwritten told the user to run
  // the program again: that is no success.
  return done && !(SectionIDCheck_ && SectionResult_ != SectionList_);
}

void TUpgradeForm1::ResetStopCounter() {
  StopCounter_ = 0;
  silentTicks_ = 0;
}

TransferJob TUpgradeForm1::MakeJob() {
  return TransferJob{StopCounter_,   UpgradeState_,  models_,       FileList_,
                     SelectedIP_,    SelectedROMID_, SelectedType_, models_.PasswordComBox.Text(),
                     TimeOut_};
}

bool TUpgradeForm1::UpgradeRunning() const {
  return upgradeClickActive_ || IsRunning(UpgradeState_) || (httpWorker_ && !httpWorker_->Finished());
}

void TUpgradeForm1::EnableUpgrade() {
  if (!UpgradeRunning()) models_.Upgrade.SetEnabled(true);
}

void TUpgradeForm1::UpgradeClick() {
  // A second run would replace the first one's worker and so abort it.
  if (UpgradeRunning()) return;
  upgradeClickActive_ = true;
  struct ClickEnd {
    bool& active;
    ~ClickEnd() { active = false; }
  } clickEnd{upgradeClickActive_};
  MainWindowModels& m = models_;
  SelectedIP_ = SelectedAddressText();
  const auto entry = services_.search.Lookup(SelectedIP_);
  if (!entry) {
    ReportRouterNotFound();
    return;
  }
  SelectedROMID_ = entry->romId;
  SelectedType_ = entry->status;
  if (!services_.search.Ping(SelectedIP_)) {
    Log("Unconnect to router : " + SelectedIP_);
    services_.dialogs.ShowMessage({text::kUnconnectToRouter, text::kRouterConnectionFailure});
    m.Upgrade.SetEnabled(false);
    return;
  }
  m.ProgressBar1.SetMax(0);
  m.ProgressBar1.SetPosition(0);
  if (FileList_.Empty()) {
    services_.dialogs.ShowMessage({"Please select the upgrade file", "upgrade file not found"});
    return;
  }
  m.Upgrade.SetEnabled(false);
  if (MethodFirst_ && UpgradeMethod_ != method::kTftp) {
    switch (InitialSetting_.MethodOrder()) {
      case 1: UpgradeMethod_ = method::kHttp; break;
      case 2: UpgradeMethod_ = method::kFtp; break;
      case 3: UpgradeMethod_ = method::kTftp; break;
      default: break;
    }
  }
  Attempt outcome = Attempt::Again;
  while (outcome == Attempt::Again) outcome = RunAttempt();
  if (outcome == Attempt::EndHandler || closed_) return;

  const std::int16_t upgradeState = UpgradeState_;
  if (FileListValid_ == 1 && !LogVisible_ && upgradeState != state::kTftpRunning &&
      upgradeState != state::kHttpRunning && !FactoryRelease_) {
    ExitClick();
  }
}

void TUpgradeForm1::ReportRouterNotFound() {
  Log("Read Select Router Infomation Error");
  services_.dialogs.ShowMessage(
      {"Please press \"ENTER\" to check router information in select box", "Router information not found"});
  models_.Upgrade.SetEnabled(false);
}

TUpgradeForm1::Attempt TUpgradeForm1::RunAttempt() {
  ResetStopCounter();
  StopTimer_.SetEnabled(true);
  switch (UpgradeMethod_) {
    case method::kTftp:
      if (services_.tftp) return StartTftp();
      break;
    case method::kHttp:
    case method::kHttpAfterFtp:
      return RunHttpAttempt();
    case method::kFtp:
      return RunFtpAttempt();
    default:
      break;
  }
  StopTimer_.SetEnabled(false);
  services_.dialogs.ShowMessage({"Could not detect upgrade method !"});
  Log("Could not detect upgrade method to " + SelectedIP_);
  return Attempt::Done;
}

bool TUpgradeForm1::FilesChosen() {
  if (FileListValid_ == 0 && models_.UpdateFileName.Text().empty()) {
    // Nothing starts, so nothing is to be watched: a running watchdog
    // would end the program TimeOut seconds later without a word.
    StopTimer_.SetEnabled(false);
    services_.dialogs.ShowMessage({text::kUpgradeFileNotSelected, text::kUpgradeWarning});
    return false;
  }
  return true;
}

TUpgradeForm1::Attempt TUpgradeForm1::StartTftp() {
  if (!FilesChosen()) return Attempt::Done;
  UpgradeState_ = state::kTftpRunning;
  Log("Unsing TFTP upgrade mode to : " + SelectedIP_);
  services_.tftp->UploadFiles(MakeJob());
  return Attempt::Done;
}

TUpgradeForm1::Attempt TUpgradeForm1::RunHttpAttempt() {
  StopTimer_.SetEnabled(false);
  try {
    LoginResult_ = RunLogin();
  } catch (const std::exception& failure) {
    services_.dialogs.ShowMessage({failure.what(), "HTTP Upgrade Abnormal Terminate"});
    services_.application.Terminate();
    ReleaseWindow();
    return Attempt::EndHandler;
  }
  // A refused login ends the attempt unless it found an older router, which
  // goes on by FTP. After a failed FTP attempt the method is still 133 when
  // a newer router refuses: that verdict is shown too, instead of starting
  // HTTP with the negative result as its port.
  if (LoginResult_ < 0) {
    UpgradeState_ = state::kHttpFailed;
    if (UpgradeMethod_ != method::kFtp) {
      ShowLoginVerdict(LoginResult_);
      return Attempt::EndHandler;
    }
  }
  Log("Clear stopCounter to 0");
  ResetStopCounter();
  StopTimer_.SetEnabled(true);
  if (MethodFirst_ && InitialSetting_.MethodOrder() == 1) {
    UpgradeMethod_ = method::kHttp;
    return StartHttp();
  }
  if (UpgradeMethod_ == method::kFtp) return Attempt::Again;
  return StartHttp();
}

TUpgradeForm1::Attempt TUpgradeForm1::StartHttp() {
  if (!FilesChosen()) return Attempt::Done;
  if (LoginResult_ < 0) {
    // HTTP forced after an older router refused the password: there is no
    // port to send to, so the refusal is what the user must see.
    StopTimer_.SetEnabled(false);
    ShowLoginVerdict(LoginResult_);
    return Attempt::EndHandler;
  }
  UpgradeState_ = state::kHttpRunning;
  Log("Unsing HTTP upgrade mode to : " + SelectedIP_);
  StartHttpWorker();
  return Attempt::Done;
}

TUpgradeForm1::Attempt TUpgradeForm1::RunFtpAttempt() {
  Log("Unsing FTP upgrade mode to : " + SelectedIP_);
  if (!FilesChosen()) return Attempt::Done;
  UpgradeState_ = state::kFtpRunning;
  const int result = services_.ftp ? services_.ftp->UploadFiles(MakeJob()) : -1;
  const std::string resultText = services_.ftp ? services_.ftp->ResultText() : text::kFtpNotAvailable;
  if (closed_) return Attempt::EndHandler;
  if (result >= 0) {
    StopTimer_.SetEnabled(false);
    UpgradeState_ = state::kFtpDone;
    Log("Unsing FTP upgrade to : " + SelectedIP_ + " success");
    SectionResult_ = services_.ftp->UpgradeSection();
    Log("FTP upgrade section :" + SectionResult_);
    if (SectionIDCheck_ && SectionResult_ != SectionList_) {
      services_.dialogs.ShowMessage({text::kUpgradeNotCompleteRunAgain, text::kUpgradeWarning});
    } else if (Interactive_ && !FactoryRelease_) {
      services_.dialogs.ShowMessage({resultText, "Success"});
    }
    models_.Upgrade.SetEnabled(true);
    return Attempt::Done;
  }
  StopTimer_.SetEnabled(false);
  if (result == -2 || result == -4) {
    UpgradeState_ = state::kFtpFailed;
    services_.dialogs.ShowMessage({resultText, "Authentication Failed"});
    return Attempt::EndHandler;
  }
  Log("Unsing FTP upgrade mode fail : " + SelectedIP_ + resultText);
  UpgradeMethod_ = method::kHttpAfterFtp;
  return Attempt::Again;
}

void TUpgradeForm1::ShowLoginVerdict(int result) {
  if (result == login::kPasswordRefused) {
    services_.dialogs.ShowMessage({LoginVerdictText(result), "Authentication Failed"});
    models_.StatusBar1.SetText("Your input password is incorrect, please check again.");
  } else if (const char* text = LoginVerdictText(result)) {
    services_.dialogs.ShowMessage({text});
  } else {
    Log("Unknow Error while check password");
  }
}

void TUpgradeForm1::StopTimerTimer() {
  if (GetMode_) {
    RunRomDownload();
    return;
  }
  if (AutoRun_) {
    StartByItself();
    return;
  }
  const std::int16_t report = StopCounter_;
  if (ActOnCompletion(report)) return;
  WatchForSilence(report);
}

// A run asked for without the user starts from the timer, once: the timer
// stops until the run itself starts it again.
void TUpgradeForm1::StartByItself() {
  StopTimer_.SetEnabled(false);
  AutoRun_ = 0;
  PutMode_ = 0;
  if (models_.IPComBox.Text().empty()) {
    SearchLAN();
    IPComBoxChange();
  } else if (FileListValid_ == 1) {
    UpgradeClick();
  }
}

// True for a completion code: the tick ends there, uncounted, and the code
// stays in StopCounter for the next tick to see.
bool TUpgradeForm1::ActOnCompletion(std::int16_t report) {
  switch (report) {
    case report::kHttpFinished:
      StopTimer_.SetEnabled(false);
      StopHttpWorker();
      Log("HTTP upgrade section :" + SectionResult_);
      if (!Interactive_) ExitClick();
      return true;
    case report::kHttpDone:
    case report::kHttpFailed:
    case report::kTftpSent:
      return true;
    case report::kTftpRefused:
      StopTimer_.SetEnabled(false);
      if (!Interactive_) {
        ExitClick();
      } else {
        services_.dialogs.ShowMessage(
            {"Incorrect upgrade file. Please check again!", "Warning", ButtonSet::Yes, BoxKind::Warning});
      }
      return true;
    case report::kTftpRebooting:
      FinishTftpRecovery();
      return true;
    default:
      return false;
  }
}

void TUpgradeForm1::FinishTftpRecovery() {
  StopTimer_.SetEnabled(false);
  if (!Interactive_) {
    ExitClick();
  } else if (!FactoryRelease_) {
    services_.dialogs.ShowMessage({"Recover Complete !", "Recover Success"});
  }
  SectionResult_ = services_.tftp ? services_.tftp->UpgradeSection() : std::string();
  Log("TFTP upgrade section :" + SectionResult_);
  if (SectionIDCheck_ && SectionResult_ != SectionList_) {
    services_.dialogs.ShowMessage({"Upgrade Not complete, please click Upgrade button again !", "Upgrade Again"});
  }
  if (closed_) return;
  SearchLAN();
  IPComBoxChange();
}

// A report restarts the count; the exchange leaves a report that arrived
// meanwhile for the next tick rather than losing it.
void TUpgradeForm1::WatchForSilence(std::int16_t report) {
  silentTicks_ = report == 0 ? 1 : silentTicks_ + 1;
  std::int16_t expected = report;
  StopCounter_.compare_exchange_strong(expected, kNoReport);
  if (static_cast<std::uint16_t>(silentTicks_) >= static_cast<std::uint16_t>(TimeOut_)) {
    OnStopCounterTimeout();
  } else {
    Log("StopCounter : " + std::to_string(silentTicks_));
  }
}

void TUpgradeForm1::OnStopCounterTimeout() {
  StopTimer_.SetEnabled(false);
  switch (UpgradeState_) {
    case state::kTftpRunning:
      services_.dialogs.ShowMessage(
          {"Recover Not Complete. Please Power OFF and Power ON the router then execution program again !!",
           "TFTP Upgrade Failure"});
      break;
    case state::kHttpRunning:
      StopHttpWorker();
      services_.dialogs.ShowMessage({text::kAbnormalTerminate, "HTTP Upgrade Failure"});
      break;
    case state::kFtpRunning:
      services_.dialogs.ShowMessage({text::kAbnormalTerminate, "FTP Upgrade Failure"});
      break;
    default:
      break;
  }
  services_.application.Terminate();
  ReleaseWindow();
}

void TUpgradeForm1::ExitClick() {
  MainWindowModels& m = models_;
  m.Exit.SetEnabled(false);
  ExitRequested_ = 1;
  StopTimer_.SetEnabled(false);
  const std::int16_t upgradeState = UpgradeState_;
  if (IsRunning(upgradeState)) {
    ExitRequested_ = 0;
    services_.dialogs.ShowMessage({"Don't Exit Upgrade Program When upgrade Not Complete !", "Upgrade Not Complete"});
    m.Exit.SetEnabled(true);
    services_.loop.WaitMs(300, false);
    StopTimer_.SetEnabled(true);
    return;
  }
  if (IsFailed(upgradeState)) {
    services_.dialogs.ShowMessage({"Upgrade Not Success, Please Run Again !", "Upgrade Failure"});
  }
  Close();
}

bool TUpgradeForm1::FormCloseQuery() {
  if (ExitRequested_) return true;
  StopTimer_.SetEnabled(false);
  bool allow = true;
  const std::int16_t upgradeState = UpgradeState_;
  if (IsRunning(upgradeState)) {
    const DialogAnswer answer = services_.dialogs.ShowMessage(
        {"Upgrade Not complete, Do you really want to exit program ?", text::kUpgradeWarning, ButtonSet::OkCancel});
    allow = answer == DialogAnswer::Ok;
  } else if (IsFailed(upgradeState)) {
    services_.dialogs.ShowMessage({"Upgrade Not success, please Run again !", text::kUpgradeWarning});
  }
  StopTimer_.SetEnabled(true);
  return allow;
}

void TUpgradeForm1::Close() {
  if (closed_ || !FormCloseQuery()) return;
  // The main window closing ends the program.
  services_.application.Terminate();
  ReleaseWindow();
}

}  // namespace fwu
