#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
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
// router's boot loader, then the order to reboot. UploadFiles sends the
// first write request and returns; datagram events and TFTPTimer drive the
// rest on the window thread, and the run reports through the caller's
// stop counter (0 on progress, 1001 then 1000, or 1002) and upgrade state
// (12 done, 13 failed).
class TTFTPForm {
 public:
  static constexpr std::int64_t kTimerIntervalMs = 500;
  static constexpr std::int64_t kRebootNoticeMs = 2000;
  static constexpr std::int64_t kRebootWaitMs = 5000;

  // Run states kept in CurrentIndex beside the row being sent.
  static constexpr int kIdle = 0;
  static constexpr int kAllSent = 1001;
  static constexpr int kFailed = 1002;

  TTFTPForm(EventLoop& loop, DatagramComponent& UDP1, NoticePresenter& notices, Dialogs& dialogs);
  ~TTFTPForm();
  TTFTPForm(const TTFTPForm&) = delete;
  TTFTPForm& operator=(const TTFTPForm&) = delete;

  void UploadFiles(std::atomic<std::int16_t>& stopCounter, std::atomic<std::int16_t>& upgradeState, LogSink& log,
                   StatusBarModel& status, ProgressBarModel& progress, const FileTable& files,
                   const std::string& host, const std::string& romId, int deviceType);
  // Section letters of the files the last run put.
  std::string UpgradeSection() const { return run_.upgradeSection; }

  std::int64_t TotalUploadLength();
  int StartFile(const std::string& host, const std::string& path);
  void SendReadRequest(const std::string& host, const std::string& name, const std::string& mode);
  void UDP1DataReceived(int numberBytes, const std::string& fromIP, int port);
  void UDP1DataSend();
  void TFTPTimerTimer();

  int CurrentIndex() const { return CurrentIndex_; }
  int UploadCount() const { return UploadCount_; }
  bool TimerEnabled() const { return TFTPTimer_.Enabled(); }

 private:
  // Sends what a step asks for and sets the retransmission timer; the
  // outcomes that end a file are the callers' to handle.
  void Perform(const TftpStep& step);
  void OnAcknowledged(const TftpStep& step);
  void StartNextFile();
  void RetransmitTimerTimer();
  void EndRunNow();
  void CloseFile();
  void Log(const std::string& line);
  void SetStatus(const std::string& text);

  EventLoop& loop_;
  DatagramComponent& UDP1_;
  NoticePresenter& notices_;
  Dialogs& dialogs_;
  Timer TFTPTimer_;
  Timer retransmitTimer_;

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

  int CurrentIndex_ = kIdle;
  int fileOpen_ = 0;
  // Set by the length pass when a file needs more blocks than TFTP numbers.
  bool tooLarge_ = false;
  int UploadCount_ = 0;
  int SentCount_ = 0;
  std::int64_t totalLength_ = 0;
  ReadOnlyFile file_;
  TftpFileSender sender_;
};

}  // namespace fwu
