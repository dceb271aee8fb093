#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bundle/file_selector.h"
#include "bundle/file_table.h"
#include "net/datagram_component.h"
#include "platform/binary_file.h"
#include "transfer/tftp_file_sender.h"
#include "ui/timer.h"

namespace fwu {

class Dialogs;
class EventLoop;
class LogSink;
class NoticePresenter;
class ProgressBarModel;
class StatusBarModel;

// The TFTP transport: the selected firmware files written to a crashed
// router's boot loader, then the order to reboot. UploadFiles opens a fresh
// datagram socket, sends the first write request and returns; datagram
// events and the timers drive the rest on the window thread, and the run
// reports through the caller's stop counter (0 on progress, kTftpSent then
// kTftpRebooting, or kTftpRefused) and upgrade state (kTftpDone or
// kTftpFailed; see completion_codes.h). The socket is
// closed when the run ends, so that nothing of one run reaches the next.
class TTFTPForm {
 public:
  static constexpr std::int64_t kTimerIntervalMs = 500;
  static constexpr std::int64_t kRebootNoticeMs = 2000;
  static constexpr std::int64_t kRebootWaitMs = 5000;
  // The watchdog's TimeOut (seconds) until the caller says otherwise.
  static constexpr int kDefaultWatchdogSeconds = 20;

  // How the run stands; the row being sent is kept apart from it.
  enum class RunState {
    Idle,
    Sending,     // a file is under way
    AllSent,     // every file acknowledged; TFTPTimer sends the reboot order
    RebootWait,  // the reboot order went out; kTftpSent until the wait is over
    Failed,      // TFTPTimer reports the failure
  };

  TTFTPForm(EventLoop& loop, DatagramComponent& UDP1, NoticePresenter& notices, Dialogs& dialogs);
  ~TTFTPForm();
  TTFTPForm(const TTFTPForm&) = delete;
  TTFTPForm& operator=(const TTFTPForm&) = delete;

  void UploadFiles(std::atomic<std::int16_t>& stopCounter, std::atomic<std::int16_t>& upgradeState, LogSink& log,
                   StatusBarModel& status, ProgressBarModel& progress, const FileTable& files,
                   const std::string& host, const std::string& romId, int deviceType);
  // The watchdog that ends a silent run: for as long as its TimeOut after
  // a resend, an "unknown transfer ID" error is taken for the boot loader's
  // late answer to the copy, not for a refusal.
  void SetWatchdogSeconds(int seconds) { watchdogSeconds_ = seconds; }
  // The program is ending (a signal, the close box): a run still sending
  // ends as failed; one waiting for the router to reboot has nothing left
  // to do and ends as the recovery it was.
  void EndNow();
  // Section letters of the files the last run put.
  std::string UpgradeSection() const { return run_.upgradeSection; }

  std::int64_t TotalUploadLength();
  int StartFile(const std::string& host, const std::string& path);
  void SendReadRequest(const std::string& host, const std::string& name, const std::string& mode);
  void UDP1DataReceived(int numberBytes, const std::string& fromIP, int port);
  void UDP1DataSend();
  void TFTPTimerTimer();

  RunState State() const { return state_; }
  int CurrentRow() const { return row_; }
  int UploadCount() const { return UploadCount_; }
  bool TimerEnabled() const { return TFTPTimer_.Enabled(); }

 private:
  // Sends what a step asks for and sets the retransmission timer; the
  // outcomes that end a file are the callers' to handle.
  void Perform(const TftpStep& step);
  void OnAcknowledged(const TftpStep& step);
  void OnRouterError(const TftpStep& step);
  bool AnswersAResend(const TftpStep::RouterError& error) const;
  // Takes the selector's answer: a row to send, or how the run ends.
  void TakeSelection(int result);
  void StartNextFile();
  void RetransmitTimerTimer();
  void SendRebootOrder();
  void RebootNoticeTimerTimer();
  void FinishRecovery();
  void ReportFailure();
  void EndRunNow();
  // The run is over: timers stopped, the file and the socket closed.
  void CloseRun();
  void CloseFile();
  void Log(const std::string& line);
  void SetStatus(const std::string& text);

  EventLoop& loop_;
  DatagramComponent& UDP1_;
  NoticePresenter& notices_;
  Dialogs& dialogs_;
  Timer TFTPTimer_;
  Timer retransmitTimer_;
  Timer rebootNoticeTimer_;
  Timer rebootWaitTimer_;

  // The run's caller, from UploadFiles.
  std::atomic<std::int16_t>* stopCounter_ = nullptr;
  std::atomic<std::int16_t>* upgradeState_ = nullptr;
  LogSink* log_ = nullptr;
  StatusBarModel* status_ = nullptr;
  ProgressBarModel* progress_ = nullptr;
  const FileTable* files_ = nullptr;
  std::string host_;
  std::unique_ptr<FileSelector> selector_;
  SelectionRun run_;
  int watchdogSeconds_ = kDefaultWatchdogSeconds;

  RunState state_ = RunState::Idle;
  int row_ = 0;
  int fileOpen_ = 0;
  // Set by the length pass when a file needs more blocks than TFTP numbers.
  bool tooLarge_ = false;
  int UploadCount_ = 0;
  int SentCount_ = 0;
  std::int64_t totalLength_ = 0;
  // When a datagram of this run was last sent again.
  std::optional<std::int64_t> lastResendMs_;
  ReadOnlyFile file_;
  TftpFileSender sender_;
};

}  // namespace fwu
