#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/application_control.h"
#include "app/http_worker.h"
#include "transfer/transfer_seams.h"
#include "bundle/file_table.h"
#include "bundle/initial_setting.h"
#include "platform/event_loop.h"
#include "ui/dialogs.h"
#include "ui/main_window_models.h"
#include "ui/timer.h"

namespace fwu {

class BundleReader;
class DeviceSearch;
class NoticePresenter;
class FtpUpgrade;
class TftpUpgrade;
class WebExchange;

// What the main window is handed by whoever builds the program: the loop it
// runs on, its dialogs, the search window's object, the notice window and
// the way to end the program.
struct UpgradeFormServices {
  EventLoop& loop;
  Dialogs& dialogs;
  DeviceSearch& search;
  NoticePresenter& notices;
  ApplicationControl& application;
  // The TFTP and FTP transfers; a method whose transfer is not given is
  // treated as undetectable (TFTP) or as failed, so that HTTP is tried (FTP).
  TftpUpgrade* tftp = nullptr;
  FtpUpgrade* ftp = nullptr;
  // The HTTP attempt's login exchanges and worker; when not given, the
  // router's web server over TCP and THTTPThread.
  WebExchange* web = nullptr;
  HttpWorkerStarter startHttpWorker = nullptr;
};

// Keys the Exit button reacts to while Alt is held.
enum class FunctionKey { F1, F2, F3, F4, F5, Other };

// The upgrade program's main window: start-up, the window's handlers and
// the upgrade controller. Handlers keep the names of the controls and
// events they serve. Everything runs on the window thread.
class TUpgradeForm1 {
 public:
  TUpgradeForm1(UpgradeFormServices services, std::vector<std::string> arguments,
                std::string programPath);
  ~TUpgradeForm1();
  TUpgradeForm1(const TUpgradeForm1&) = delete;
  TUpgradeForm1& operator=(const TUpgradeForm1&) = delete;

  MainWindowModels& Models() { return models_; }
  const MainWindowModels& Models() const { return models_; }

  // Start-up.
  void FormCreate();
  void FormActivate();
  int ApplyInitialSetting();
  bool StartupFailed() const { return StartupFailed_; }

  // Window handlers.
  void SetLayout(int n);
  void SearchLAN();
  void IPReFreshClick() { SearchLAN(); }
  void IPComBoxKeyPress(char key);
  void IPComBoxChange();
  void PasswordComBoxChange();
  void BrowseClick();
  void ExitKeyDown(FunctionKey key, bool altHeld);

  // The upgrade controller.
  void UpgradeClick();
  void StopTimerTimer();
  void ExitClick();
  bool FormCloseQuery();
  // Closes the window as its close box would: asks FormCloseQuery first.
  void Close();
  // A request from outside to end (a signal): a transfer under way ends as
  // failed, the temporary files go, the program ends without asking.
  void EndOnRequest(const std::string& request);

  // The window's state once the window has been released.
  bool Closed() const { return closed_; }
  // No transfer running and nothing due to start by itself: what a console
  // waits for before it asks or ends.
  bool Idle() const;
  // The last operation ended well: an upgrade run done or the ROM data saved.
  bool Succeeded() const;

  // Read access for views and tests.
  const FileTable& FileList() const { return FileList_; }
  const InitialSetting& Settings() const { return InitialSetting_; }
  int FileListValid() const { return FileListValid_; }
  int SearchDetail() const { return SearchDetail_; }
  bool LogVisible() const { return LogVisible_ != 0; }
  int TimeOut() const { return TimeOut_; }
  std::uint16_t UpgradeMethod() const { return UpgradeMethod_; }
  const std::string& ROMID() const { return ROMID_; }
  const std::string& SectionList() const { return SectionList_; }
  bool StopTimerEnabled() const { return StopTimer_.Enabled(); }
  std::int16_t UpgradeState() const { return UpgradeState_; }
  const std::string& SectionResult() const { return SectionResult_; }
  int LoginResult() const { return LoginResult_; }
  const std::string& SelectedIP() const { return SelectedIP_; }
  const std::string& SelectedROMID() const { return SelectedROMID_; }
  struct Modes {
    bool put, get, param, log, autoRun, interactive, methodFirst, factoryRelease, sectionIDCheck;
  };
  Modes CurrentModes() const;

 private:
  // Start-up steps.
  void ApplyCommandLine();
  void ClearParameters();
  void OpenBundle(int opened);
  void DispatchWithParameters();
  void DispatchInitialSetting();
  int ApplyControlSlot(const FileRow& slot, bool& decided);
  // ApplyControlSlot's jobs, in the order the control file is applied.
  void ApplyPresets(const InitialSetting& s);
  void ApplyMethodOrder(std::uint8_t order);
  void ApplyControlFlags(std::uint8_t flags);
  std::optional<int> ChooseStart(const InitialSetting& s);
  void SetUserFile(const std::string& path, const std::string& separator);
  void HandSearchSettings(std::uint8_t flags, const std::array<std::string, 4>& addresses);

  // Ending the program: ask the framework to terminate and release the
  // window, which frees the bundle reader and its temporary files.
  void EndProgram();
  void ReleaseWindow();
  // Controller steps.
  enum class Attempt { Again, Done, EndHandler };
  Attempt RunAttempt();
  Attempt RunHttpAttempt();
  Attempt RunFtpAttempt();
  Attempt StartTftp();
  Attempt StartHttp();
  bool FilesChosen();
  // An upgrade runs (or its handler is still under way): nothing may start
  // another, and the Upgrade button stays off.
  bool UpgradeRunning() const;
  void EnableUpgrade();
  void ShowLoginVerdict(int result);
  int RunLogin();
  void StartHttpWorker();
  void RunRomDownload();
  void StopHttpWorker();
  void ResetStopCounter();
  // StopTimer's jobs, in the order it tries them.
  void StartByItself();
  bool ActOnCompletion(std::int16_t report);
  void FinishTftpRecovery();
  void WatchForSilence(std::int16_t report);
  void OnStopCounterTimeout();
  TransferJob MakeJob();
  void ShowLogPane();
  void HideLogPane();
  int HeightWithoutLog(int height) const;
  void Log(const std::string& line) { models_.Memo1.AddLine(line); }
  std::string SelectedAddressText() const;
  // Runs a search and fills the list from the table whatever became of it;
  // a search that could send nothing says so in the status line.
  void SearchAndShow(const std::function<void()>& search);
  // After a search of one address has filled the list: the search's
  // default probes may have listed other routers first, so the edit field
  // goes back to the address the user named, as its line when the table
  // has it. True then.
  bool KeepNamedRouter(const std::string& address);
  // The router to act on is not in the search's table.
  void ReportRouterNotFound();

  UpgradeFormServices services_;
  std::vector<std::string> arguments_;
  std::string programPath_;
  MainWindowModels models_;
  std::unique_ptr<BundleReader> reader_;
  // The HTTP attempt's worker, while one runs.
  std::unique_ptr<HttpWorker> httpWorker_;
  Timer StopTimer_;
  bool closed_ = false;

  // Progress reports and completion codes from the transports.
  std::atomic<std::int16_t> StopCounter_{0};
  // Seconds since the last report, counted by StopTimer.
  int silentTicks_ = 0;
  std::atomic<std::int16_t> UpgradeState_{0};
  std::string SectionResult_;
  int LoginResult_ = 0;
  std::string SelectedIP_;
  std::string SelectedROMID_;
  int SelectedType_ = 0;
  std::uint8_t ExitRequested_ = 0;
  // A password the command line or the control file gave: the first
  // selection keeps it instead of putting in the default password, or an
  // unattended run would always log in with the default.
  std::string presetPassword_;
  bool romSaved_ = false;
  // UpgradeClick is under way; FTP keeps the loop running inside it.
  bool upgradeClickActive_ = false;

  InitialSetting InitialSetting_;
  std::uint8_t PutMode_ = 0;
  std::uint8_t GetMode_ = 0;
  std::uint8_t ParamMode_ = 0;
  std::uint8_t LogMode_ = 0;
  std::int16_t TimeOut_ = 20;
  std::uint8_t MethodFirst_ = 0;
  std::uint8_t FactoryRelease_ = 0;
  std::uint8_t SectionIDCheck_ = 0;
  std::string SectionList_;
  std::int16_t FileListValid_ = 0;
  FileTable FileList_;
  std::string ROMID_ = "Kavlor";
  std::int16_t SearchDetail_ = 111;
  std::uint16_t FullHeight_ = 0;
  std::uint16_t UpgradeMethod_ = 0;
  std::uint8_t AutoRun_ = 0;
  std::uint8_t Interactive_ = 0;
  std::uint8_t LogVisible_ = 0;
  std::uint8_t StartupFailed_ = 0;
};

}  // namespace fwu
