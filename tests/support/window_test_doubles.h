#pragma once

#include <functional>
#include <string>

#include "app/application_control.h"
#include "transfer/transfer_seams.h"
#include "platform/event_loop.h"

namespace fwu::testing {

// The window tests' stand-ins for the program's end and for an FTP router.

class CountingApplication final : public ApplicationControl {
 public:
  void Terminate() override { ++terminations; }
  int terminations = 0;
};

// An FTP transfer that needs no router: it reports progress for a while
// and succeeds, running the test's checks while it is under way.
class FakeFtp final : public FtpUpgrade {
 public:
  explicit FakeFtp(EventLoop& loop) : loop_(loop) {}
  int UploadFiles(const TransferJob& job) override {
    job.window.ProgressBar1.SetMax(100);
    job.window.ProgressBar1.SetPosition(40);
    job.progressChannel = 0;
    loop_.WaitMs(20, true);  // the transfer pumps events while it waits
    if (duringTransfer) duringTransfer();
    return 0;
  }
  int GetRomFile(const RomRequest&) override { return -3; }
  std::string ResultText() const override { return "Upgrade success"; }
  std::string UpgradeSection() const override { return "A"; }

  std::function<void()> duringTransfer;

 private:
  EventLoop& loop_;
};

}  // namespace fwu::testing
