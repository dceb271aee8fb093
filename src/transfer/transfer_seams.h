#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "bundle/file_table.h"

namespace fwu {

struct MainWindowModels;

// What every transfer of an upgrade run is handed by the controller.
// progressChannel is where a transport reports: 0 on each sign of progress,
// or one of its completion codes; the controller counts the seconds
// between reports on its own, so counts and codes never meet.
struct TransferJob {
  std::atomic<std::int16_t>& progressChannel;
  std::atomic<std::int16_t>& upgradeState;
  MainWindowModels& window;  // log pane, status bar and progress bar
  const FileTable& files;
  std::string selectedIP;
  std::string selectedROMID;
  int selectedType = 0;
  std::string password;
  // The controller's TimeOut: seconds without progress before it ends the run.
  int watchdogSeconds = 20;
};

// A stretch of the router's ROM data, saved to a file on the PC.
struct RomRequest {
  MainWindowModels& window;
  std::string address;
  std::string password;
  std::string rangeText;  // offset, "#" and length, both in decimal
  std::string localFile;
  std::int64_t length = 0;  // bytes asked for: fewer is a failure
};

// Runs to its end on the window thread, pumping events while it waits.
class FtpUpgrade {
 public:
  virtual ~FtpUpgrade() = default;
  // 0 or more on success, -2 for a refused login, -4 for an upgrade file
  // that could not be read or was refused, another negative value for any
  // other failure (after which the controller falls back to HTTP).
  virtual int UploadFiles(const TransferJob& job) = 0;
  // 1 saved, -2 login refused, -3 an error that ends the download, any
  // other value a failure after which HTTP is tried.
  virtual int GetRomFile(const RomRequest& request) = 0;
  virtual std::string ResultText() const = 0;
  virtual std::string UpgradeSection() const = 0;
};

// Returns at once; the transfer reports through the job's channel (1001
// files sent, 1000 router rebooting, 1002 refused) and its upgrade state
// (12 done, 13 failed).
class TftpUpgrade {
 public:
  virtual ~TftpUpgrade() = default;
  virtual void UploadFiles(const TransferJob& job) = 0;
  virtual std::string UpgradeSection() const = 0;
  // The program is ending: a run still sending ends as failed (13), one
  // that already ordered the reboot ends as done (1000).
  virtual void EndNow() = 0;
};

}  // namespace fwu
