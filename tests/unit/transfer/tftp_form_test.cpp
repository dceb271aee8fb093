// The TFTP window against a scripted boot loader on virtual time: what
// goes on the wire, what the caller's words say, and when.
#include "transfer/tftp_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "notice/hidden_notice_presenter.h"
#include "platform/files.h"
#include "platform/manual_event_loop.h"
#include "platform/temp_dir.h"
#include "support/fake_tftp_router.h"
#include "ui/main_window_models.h"
#include "ui/scripted_dialogs.h"

namespace fwu {
namespace {

using testing::FakeTftpRouter;

Bytes Image(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
  return bytes;
}

class TftpFormTest : public ::testing::Test {
 protected:
  std::string AddFile(const std::string& name, const Bytes& content, std::uint16_t attribute = 0x080D) {
    const std::string path = dir_.PathWithSeparator() + name;
    EXPECT_TRUE(WriteWholeFile(path, content));
    files_.Add({path, attribute, 1});
    return path;
  }
  void Start() {
    form_.UploadFiles(stopCounter_, upgradeState_, m_.Memo1, m_.StatusBar1, m_.ProgressBar1, files_, "192.168.1.1",
                      "QRT101", 3);
  }
  // Runs until the run has reported its end, at most limitMs of virtual time.
  void RunToEnd(std::int64_t limitMs = 120000) {
    const std::int64_t until = loop_.NowMs() + limitMs;
    loop_.RunUntil([&] { return stopCounter_ == 1000 || stopCounter_ == 1002 || loop_.NowMs() >= until; });
  }
  bool Logged(const std::string& line) const {
    const auto& lines = m_.Memo1.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::size_t Sizes(std::size_t index) const { return router_.sent.at(index).bytes.size(); }

  PrivateTempDir dir_;
  ManualEventLoop loop_;
  ScriptedDialogs dialogs_{loop_};
  HiddenNoticePresenter notices_;
  MainWindowModels m_;
  FileTable files_;
  FakeTftpRouter router_{loop_};
  TTFTPForm form_{loop_, router_, notices_, dialogs_};
  std::atomic<std::int16_t> stopCounter_{0};
  std::atomic<std::int16_t> upgradeState_{11};
};

TEST_F(TftpFormTest, FilesAreCutIntoBlocksEndingWithAShortOne) {
  struct Case {
    std::size_t size;
    std::vector<std::pair<int, std::size_t>> blocks;
  };
  for (const Case& c : {Case{1000, {{1, 512}, {2, 488}}}, Case{1024, {{1, 512}, {2, 512}, {3, 0}}},
                        Case{0, {{1, 0}}}}) {
    SCOPED_TRACE(c.size);
    FakeTftpRouter router(loop_);
    TTFTPForm form(loop_, router, notices_, dialogs_);
    FileTable files;
    const Bytes image = Image(c.size, 1);
    const std::string path = dir_.PathWithSeparator() + "fw" + std::to_string(c.size) + ".bin";
    ASSERT_TRUE(WriteWholeFile(path, image));
    files.Add({path, 0x080D, 1});
    stopCounter_ = 0;
    form.UploadFiles(stopCounter_, upgradeState_, m_.Memo1, m_.StatusBar1, m_.ProgressBar1, files, "192.168.1.1",
                     "", 0);
    RunToEnd();
    EXPECT_EQ(stopCounter_, 1000);
    EXPECT_EQ(router.DataBlocks(), c.blocks);
    ASSERT_EQ(router.files.size(), 1u);
    EXPECT_EQ(router.files[0], image);
    const Bytes request{0, 2};
    EXPECT_TRUE(std::equal(request.begin(), request.end(), router.sent.front().bytes.begin()));
    for (const auto& sent : router.sent) EXPECT_EQ(sent.port, 69) << "every packet goes to the router's port 69";
  }
  EXPECT_TRUE(Logged("Segment: 1"));
  EXPECT_TRUE(Logged("mod: 488"));
}

TEST_F(TftpFormTest, RecoveryEndsWithTheRebootRequestAndSevenSecondsOfWaiting) {
  AddFile("fw.bin", Image(1500, 2));
  std::int64_t filesSentAt = -1;
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes.size() > 2 && s.bytes[1] == 1) filesSentAt = loop_.NowMs();
  };
  Start();
  RunToEnd();
  const Bytes reboot{0, 1, 'R', '!', 0, 'o', 'c', 't', 'e', 't', 0};
  EXPECT_EQ(router_.sent.back().bytes, reboot) << "the 11-byte request for R! is the last datagram";
  EXPECT_EQ(stopCounter_, 1000);
  EXPECT_EQ(upgradeState_, 12);
  EXPECT_EQ(loop_.NowMs() - filesSentAt, 7000);
  EXPECT_EQ(m_.StatusBar1.Text(), "Recover success");
  EXPECT_EQ(m_.Memo1.Lines().back(), "Total upgrade file count in TFTP mode: 1");
}

TEST_F(TftpFormTest, TwoFilesRestartTheBlockNumbersAndTheStopCounter) {
  const Bytes first = Image(700, 3), second = Image(300, 4);
  AddFile("a.bin", first);
  AddFile("b.bin", second);
  int secondRequests = 0;
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes[1] == 2 && router_.files.size() == 1) {
      ++secondRequests;
      EXPECT_EQ(stopCounter_, 0);
    }
  };
  Start();
  stopCounter_ = 9;  // as the controller's count might stand
  RunToEnd();
  EXPECT_EQ(secondRequests, 1);
  EXPECT_EQ(router_.DataBlocks(), (std::vector<std::pair<int, std::size_t>>{{1, 512}, {2, 188}, {1, 300}}));
  EXPECT_EQ(router_.files, (std::vector<Bytes>{first, second}));
  EXPECT_TRUE(Logged("Total upgrade file count in TFTP mode: 2"));
}

TEST_F(TftpFormTest, RepeatedAcknowledgementsSendNothingTwice) {
  AddFile("fw.bin", Image(5000, 5));
  router_.repeatAcks = true;
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1000);
  EXPECT_EQ(router_.DataBlocks().size(), 10u) << "one datagram per block, however often it is acknowledged";
}

TEST_F(TftpFormTest, LostRequestAndLostBlockAreSentAgainAfterOneSecond) {
  const Bytes image = Image(2000, 6);
  AddFile("fw.bin", image);
  router_.lostDatagrams = {0, 3};  // the write request, then block 2
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1000);
  ASSERT_EQ(router_.files.size(), 1u);
  EXPECT_EQ(router_.files.back(), image);
  EXPECT_EQ(router_.sent[1].bytes, router_.sent[0].bytes);
  EXPECT_EQ(router_.sent[4].bytes, router_.sent[3].bytes);
}

// The window never gives up on a silent router by itself (the controller's
// watchdog does): the datagram again each second, then every other second.
TEST_F(TftpFormTest, SilentRouterIsSentTheDatagramAgainPacedByItsSilence) {
  AddFile("fw.bin", Image(2000, 7));
  router_.silent = true;
  std::vector<std::int64_t> sentAt;
  router_.onSent = [&](const FakeTftpRouter::Sent&) { sentAt.push_back(loop_.NowMs()); };
  Start();
  loop_.AdvanceMs(30000);
  EXPECT_EQ(sentAt, (std::vector<std::int64_t>{0, 1000, 2000, 3000, 4000, 5000, 7000, 9000, 11000, 13000, 15000,
                                               17000, 19000, 21000, 23000, 25000, 27000, 29000}));
  for (const auto& sent : router_.sent) EXPECT_EQ(sent.bytes, router_.sent[0].bytes);
  EXPECT_EQ(stopCounter_, 0);
  EXPECT_EQ(upgradeState_, 11);
  EXPECT_TRUE(Logged("No answer from router, send again: 17"));
  EXPECT_FALSE(Logged("Recover process not be accept for router."));
}

// Boot loaders slower than the one-second timer: each block is sent twice,
// and the copy of a file's last block finds the session closed (error 5).
TEST_F(TftpFormTest, SlowBootLoadersAreRecoveredWhateverTheyAnswerToCopies) {
  struct Case {
    std::int64_t paceMs;
    std::vector<Bytes> images;
  };
  for (const Case& c : {Case{1100, {Image(3000, 1)}}, Case{1100, {Image(3000, 2), Image(1500, 3)}},
                        Case{6500, {Image(600, 4)}}}) {
    SCOPED_TRACE(std::to_string(c.paceMs) + " ms, files: " + std::to_string(c.images.size()));
    FakeTftpRouter router(loop_);
    router.ackDelayMs = c.paceMs;
    router.closedSessionError = true;
    TTFTPForm form(loop_, router, notices_, dialogs_);
    FileTable files;
    for (std::size_t i = 0; i < c.images.size(); ++i) {
      const std::string path = dir_.PathWithSeparator() + "slow" + std::to_string(i) + ".bin";
      ASSERT_TRUE(WriteWholeFile(path, c.images[i]));
      files.Add({path, 0x080D, 1});
    }
    stopCounter_ = 0;
    m_.Memo1.Clear();
    form.UploadFiles(stopCounter_, upgradeState_, m_.Memo1, m_.StatusBar1, m_.ProgressBar1, files, "192.168.1.1",
                     "", 0);
    RunToEnd();
    EXPECT_EQ(stopCounter_, 1000);
    EXPECT_EQ(upgradeState_, 12);
    EXPECT_EQ(router.files, c.images);
    EXPECT_EQ(router.sent.back().bytes[1], 1) << "the reboot order";
    EXPECT_TRUE(Logged("Router answered TFTP error 5: Unknown transfer ID"));
    EXPECT_FALSE(router.IsOpen()) << "the run's socket is closed at its end";
  }
}

struct RouterErrorCase {
  const char* name;
  bool requestLost;  // the write request goes twice, one second apart
  std::uint8_t code;
  std::string text, logged;
  int watchdogSeconds;
  bool recovered;
};

class TftpRouterErrorTest : public TftpFormTest, public ::testing::WithParamInterface<RouterErrorCase> {};

// An error arrives as block 12 goes out, ten seconds after the last resend.
TEST_P(TftpRouterErrorTest, OnlyALateAnswerToACopyIsForgiven) {
  const RouterErrorCase& c = GetParam();
  const Bytes image = Image(6000, 5);
  AddFile("fw.bin", image);
  router_.ackDelayMs = 900;
  if (c.requestLost) router_.lostDatagrams = {0};
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes[1] == 3 && s.bytes[3] == 12) router_.Deliver(FakeTftpRouter::Error(c.code, c.text));
  };
  form_.SetWatchdogSeconds(c.watchdogSeconds);
  Start();
  RunToEnd();
  EXPECT_TRUE(Logged("Router answered TFTP error " + std::to_string(c.code) + ": " + c.logged));
  if (c.recovered) {
    EXPECT_EQ(stopCounter_, 1000);
    EXPECT_EQ(router_.files, std::vector<Bytes>{image});
  } else {
    EXPECT_EQ(stopCounter_, 1002);
    EXPECT_EQ(upgradeState_, 13);
    EXPECT_TRUE(Logged("Recover process not be accept for router."));
    EXPECT_EQ(router_.DataBlocks().size(), 12u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TftpRouterErrorTest,
    ::testing::Values(
        RouterErrorCase{"UnknownIdWithinTheTimeOutOfAResend", true, 5, "Unknown transfer ID", "Unknown transfer ID",
                        20, true},
        RouterErrorCase{"UnknownIdLaterThanTheTimeOut", true, 5, "Unknown transfer ID", "Unknown transfer ID", 8,
                        false},
        RouterErrorCase{"UnknownIdWithNothingResent", false, 5, "Unknown transfer ID", "Unknown transfer ID", 20,
                        false},
        RouterErrorCase{"AnyOtherErrorPrintably", true, 3, "Disk\x1b[2Jfull\xff", "Disk?[2Jfull?", 20, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TftpFormTest, ErrorPacketMidFileEndsTheRunWithinHalfASecond) {
  AddFile("fw.bin", Image(20000, 8));
  router_.errorAtBlock = 5;
  std::int64_t errorAt = -1;
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes[1] == 3 && s.bytes[3] == 5) errorAt = loop_.NowMs() + router_.ackDelayMs;
  };
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1002);
  EXPECT_EQ(upgradeState_, 13);
  EXPECT_LE(loop_.NowMs() - errorAt, 500);
  EXPECT_EQ(router_.DataBlocks().size(), 5u);
}

TEST_F(TftpFormTest, RepliesToNothingSentNeitherEndNorMoveTheRecovery) {
  const Bytes image = Image(5000, 4);
  AddFile("fw.bin", image);
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes[1] != 3 || s.bytes[3] != 2) return;
    router_.Deliver(FakeTftpRouter::Error(), "192.168.1.77");
    router_.Deliver(Bytes{0, 4, 0, 9}, "192.168.1.77");  // an acknowledgement far ahead
    router_.Deliver(Bytes{0, 4, 0, 20});                  // past the last block, from the router itself
  };
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1000);
  EXPECT_EQ(upgradeState_, 12);
  EXPECT_EQ(router_.DataBlocks().size(), 10u) << "each block once, in order";
  EXPECT_EQ(router_.files, std::vector<Bytes>{image});
}

TEST_F(TftpFormTest, ErrorsOnceEveryImageIsStoredOnlyGoToTheLog) {
  AddFile("fw.bin", Image(600, 9));
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes[1] == 1) router_.DeliverLater(FakeTftpRouter::Error(0, "R!?"), 100);
  };
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1000);
  EXPECT_EQ(upgradeState_, 12);
  EXPECT_TRUE(Logged("Router answered TFTP error 0: R!?"));
  EXPECT_NE(m_.ProgressBar1.Position(), 0);
  // Whatever comes after the run ends, the next run will not read it.
  EXPECT_FALSE(router_.IsOpen());
  Start();
  RunToEnd();
  EXPECT_EQ(router_.opens, 2) << "a fresh socket for each run";
}

struct EndCase {
  const char* name;
  std::uint8_t whenSent;  // the opcode whose sending the request follows
  std::int16_t stopCounter, upgradeState;
  std::string status;
};

class TftpEndNowTest : public TftpFormTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(TftpEndNowTest, ARequestToEndEndsTheRunAtOnce) {
  const EndCase& c = GetParam();
  AddFile("fw.bin", Image(5000, 3));
  router_.onSent = [&](const FakeTftpRouter::Sent& s) {
    if (s.bytes[1] == c.whenSent) loop_.Post([this] { form_.EndNow(); });
  };
  Start();
  loop_.AdvanceMs(1500);
  EXPECT_EQ(stopCounter_, c.stopCounter);
  EXPECT_EQ(upgradeState_, c.upgradeState);
  EXPECT_EQ(m_.StatusBar1.Text(), c.status);
  EXPECT_EQ(form_.State(), TTFTPForm::RunState::Idle);
  EXPECT_FALSE(router_.IsOpen());
  const std::size_t sent = router_.sent.size();
  loop_.AdvanceMs(10000);
  EXPECT_EQ(router_.sent.size(), sent) << "nothing more goes out";
}

INSTANTIATE_TEST_SUITE_P(
    Moments, TftpEndNowTest,
    ::testing::Values(EndCase{"MidFileAsFailed", 3, 0, 13, "Beginning Upgrade. Do Not Exit Until Upgrade Complete !"},
                      EndCase{"InTheRebootWaitAsRecovered", 1, 1000, 12, "Recover success"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TftpFormTest, UnsendableFilesFailBeforeAnythingIsSent) {
  AddFile("fw.bin", Image(100, 1));
  // One byte past what 16-bit block numbers can carry; sparse, so cheap.
  const std::string big = dir_.PathWithSeparator() + "big.bin";
  ASSERT_TRUE(WriteWholeFile(big, Bytes{}));
  std::filesystem::resize_file(big, 33553408);
  files_.Add({big, 0x080D, 1});
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1002);
  EXPECT_EQ(upgradeState_, 13);
  EXPECT_TRUE(router_.sent.empty());
  EXPECT_TRUE(Logged("File too large for TFTP upgrade: " + big + " (33553408 Bytes, at most 33553407)"));

  files_.Clear();
  files_.Add({dir_.PathWithSeparator() + "missing.bin", 0x080D, 1});
  stopCounter_ = 0;
  Start();
  RunToEnd();
  EXPECT_EQ(stopCounter_, 1002);
  EXPECT_TRUE(router_.sent.empty());
}

}  // namespace
}  // namespace fwu
