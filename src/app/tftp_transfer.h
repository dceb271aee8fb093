#pragma once

#include "transfer/transfer_seams.h"
#include "transfer/tftp_form.h"
#include "ui/main_window_models.h"

namespace fwu {

// The TFTP window as the controller starts it: the job's words and the
// main window's controls handed on.
class TftpTransfer final : public TftpUpgrade {
 public:
  explicit TftpTransfer(TTFTPForm& form) : form_(form) {}

  void UploadFiles(const TransferJob& job) override {
    form_.SetWatchdogSeconds(job.watchdogSeconds);
    form_.UploadFiles(job.progressChannel, job.upgradeState, job.window.Memo1, job.window.StatusBar1,
                      job.window.ProgressBar1, job.files, job.selectedIP, job.selectedROMID, job.selectedType);
  }
  std::string UpgradeSection() const override { return form_.UpgradeSection(); }
  void EndNow() override { form_.EndNow(); }

 private:
  TTFTPForm& form_;
};

}  // namespace fwu
