// The controller with the real TFTP window: the watchdog against a boot
// loader that is slow, silent, or interrupted by a request to end.
#include "support/fake_tftp_router.h"
#include "transfer/tftp_form.h"
#include "app/tftp_transfer.h"
#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

class TftpRecoveryTest : public FormTest {
 protected:
  // Upgrade pressed for a crashed router, under a control record with this
  // time-out.
  void StartRecovery(const Bytes& image, std::uint8_t timeOut = 50) {
    search_.network = {{0, "10.0.0.1", "R", ""}};
    InitialSetting control = DeliveredControl();
    control.SetByte(InitialSetting::kTimeOutOffset, timeOut);
    form_ = std::make_unique<TUpgradeForm1>(
        UpgradeFormServices{loop_, dialogs_, search_, notices_, application_, &tftp_}, std::vector<std::string>{},
        WriteProgram({{"control.cfg", 0x1000, RecordBytes(control)}, {"firmware.bin", 0x080D, image}}));
    form_->FormCreate();
    form_->FormActivate();
    form_->Models().IPComBox.SetText("10.0.0.1");
    form_->IPComBoxChange();
    searchesBefore_ = search_.fullSearches;
    form_->UpgradeClick();
  }

  FakeTftpRouter router_{loop_};
  TTFTPForm tftpForm_{loop_, router_, notices_, dialogs_};
  TftpTransfer tftp_{tftpForm_};
  int searchesBefore_ = 0;
};

TEST_F(TftpRecoveryTest, SlowRouterIsRecoveredWithoutTheWatchdogFiring) {
  router_.ackDelayMs = 900;  // 79 blocks: over 70 s in all, against a time-out of 50
  const Bytes image(40000, 0x3C);
  StartRecovery(image);
  loop_.RunUntil([&] { return !dialogs_.Messages().empty() || loop_.NowMs() > 200000; });

  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_EQ(dialogs_.Messages().front().caption, "Recover Success");
  EXPECT_GT(loop_.NowMs(), 70000);
  EXPECT_EQ(application_.terminations, 0);
  EXPECT_EQ(search_.fullSearches, searchesBefore_ + 1) << "a new search once the router reboots";
  ASSERT_EQ(router_.files.size(), 1u);
  EXPECT_EQ(router_.files[0], image);
  EXPECT_EQ(router_.sent.front().host, "10.0.0.1");
}

// Silence is a stall for the watchdog, not a file the router refused.
TEST_F(TftpRecoveryTest, SilentRouterEndsAsAStallAfterTheTimeOut) {
  router_.silent = true;
  StartRecovery(Bytes(3000, 0x3D), 8);
  loop_.RunUntil([&] { return form_->Closed() || loop_.NowMs() > 60000; });
  EXPECT_EQ(loop_.NowMs(), 8000);
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages().back().caption, "TFTP Upgrade Failure");
  EXPECT_EQ(dialogs_.Messages().back().text,
            "Recover Not Complete. Please Power OFF and Power ON the router then execution program again !!");
  EXPECT_EQ(application_.terminations, 1);
  EXPECT_FALSE(router_.IsOpen());
  EXPECT_FALSE(form_->Succeeded());
}

// Ctrl+C: the recovery is what it was when the request came.
TEST_F(TftpRecoveryTest, ARequestToEndKeepsARecoveryThatOnlyAwaitsTheReboot) {
  struct Case {
    std::uint8_t whenSent;  // the opcode whose sending the request follows
    bool succeeded;
    std::int16_t upgradeState;
  };
  for (const Case& c : {Case{3, false, 13}, Case{1, true, 12}}) {
    SCOPED_TRACE(c.whenSent);
    router_.onSent = [&](const FakeTftpRouter::Sent& s) {
      if (s.bytes[1] == c.whenSent) loop_.Post([this] { form_->EndOnRequest("SIGINT"); });
    };
    StartRecovery(Bytes(3000, 0x3E));
    const std::int64_t start = loop_.NowMs();
    loop_.RunUntil([&] { return form_->Closed() || loop_.NowMs() > start + 60000; });
    EXPECT_LT(loop_.NowMs() - start, 1000);
    EXPECT_EQ(form_->Succeeded(), c.succeeded);
    EXPECT_EQ(form_->UpgradeState(), c.upgradeState);
    EXPECT_FALSE(router_.IsOpen());
    const auto& lines = form_->Models().Memo1.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Program ended by SIGINT"), lines.end());
  }
  EXPECT_EQ(form_->Models().StatusBar1.Text(), "Recover success");
}

}  // namespace
}  // namespace fwu::testing
