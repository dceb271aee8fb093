#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "transfer/transfer_seams.h"
#include "bundle/file_selector.h"
#include "net/ftp_client.h"

namespace fwu {

class Dialogs;
class EventLoop;
class NoticePresenter;
class ProgressBarModel;
class TransferView;

// The FTP transport: an upgrade stores every file the selection rules pick
// on the router's FTP server within one login; a ROM fetch retrieves the
// stretch "offset#length". It runs on the window thread to its end; its
// client keeps the loop running while it waits.
class TmyFTPForm final : public FtpUpgrade {
 public:
  TmyFTPForm(EventLoop& loop, NoticePresenter& notices, Dialogs& dialogs);
  ~TmyFTPForm() override;

  int UploadFiles(const TransferJob& job) override;
  int GetRomFile(const RomRequest& request) override;
  std::string ResultText() const override { return ResultText_; }
  std::string UpgradeSection() const override { return run_.upgradeSection; }
  int UploadCount() const { return UploadCount_; }

  // Special values of CurrentIndex besides the rows.
  static constexpr int kBeforeFirstScan = -1;
  static constexpr int kImageRejected = 1003;

  // The client, for tests that watch its events or set its bounds.
  TFtpClient& FTP1() { return FTP1_; }
  // Routers serve FTP on 21; tests run their server on a free port.
  void UseServerPort(std::uint16_t port) { serverPort_ = port; }

 private:
  void Configure(const std::string& host, const std::string& password);
  void BindEvents();
  void FTP1Status(const std::string& text);
  int UploadLoop(const TransferJob& job);
  int UploadOne(const TransferJob& job, const std::string& path);
  // One file's transfer failed: -4 for a file the router refused, else -1.
  int FileFailure(const std::string& message);
  int DownloadRom(const RomRequest& request);
  int OuterFailure(const std::string& message, bool upload);
  void AdvanceProgress(std::int64_t bytes);
  void DisconnectQuietly();

  EventLoop& loop_;
  NoticePresenter& notices_;
  Dialogs& dialogs_;
  TFtpClient FTP1_;
  // The window's controls of the current call.
  std::unique_ptr<TransferView> view_;
  ProgressBarModel* progress_ = nullptr;
  std::atomic<std::int16_t>* StopCounter_ = nullptr;
  SelectionRun run_;
  int CurrentIndex_ = kBeforeFirstScan;
  std::string ResultText_;
  int UploadCount_ = 0;
  std::uint16_t serverPort_ = 21;
};

// The name a file is stored under: its path less a final ".tmp" (in lower
// case only, as the extraction writes it), after the last directory
// separator of either kind.
std::string RemoteUploadName(const std::string& path);

}  // namespace fwu
