// The controller with the real TFTP window: the watchdog against a boot
// loader that is slow but never silent.
#include "support/fake_tftp_router.h"
#include "transfer/tftp_form.h"
#include "app/tftp_transfer.h"
#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

TEST_F(FormTest, SlowRouterIsRecoveredWithoutTheWatchdogFiring) {
  FakeTftpRouter router(loop_);
  router.ackDelayMs = 900;  // 79 blocks: over 70 s in all, against a time-out of 50
  TTFTPForm tftpForm(loop_, router, notices_, dialogs_);
  TftpTransfer tftp(tftpForm);
  search_.network = {{0, "10.0.0.1", "R", ""}};
  const Bytes image(40000, 0x3C);
  form_ = std::make_unique<TUpgradeForm1>(
      UpgradeFormServices{loop_, dialogs_, search_, notices_, application_, &tftp}, std::vector<std::string>{},
      WriteProgram({{"control.cfg", 0x1000, RecordBytes(DeliveredControl())}, {"firmware.bin", 0x080D, image}}));
  form_->FormCreate();
  form_->FormActivate();
  form_->Models().IPComBox.SetText("10.0.0.1");
  form_->IPComBoxChange();
  const int searchesBefore = search_.fullSearches;
  form_->UpgradeClick();
  loop_.RunUntil([&] { return !dialogs_.Messages().empty() || loop_.NowMs() > 200000; });

  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_EQ(dialogs_.Messages().front().caption, "Recover Success");
  EXPECT_GT(loop_.NowMs(), 70000);
  EXPECT_EQ(application_.terminations, 0);
  EXPECT_EQ(search_.fullSearches, searchesBefore + 1) << "a new search once the router reboots";
  ASSERT_EQ(router.files.size(), 1u);
  EXPECT_EQ(router.files[0], image);
  EXPECT_EQ(router.sent.front().host, "10.0.0.1");
}

}  // namespace
}  // namespace fwu::testing
