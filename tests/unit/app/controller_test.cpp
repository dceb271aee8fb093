#include <functional>
#include <utility>

#include "app/http_thread.h"
#include "app/login_router.h"
#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

// Transfers that report what the test tells them to.
class FakeTftp final : public TftpUpgrade {
 public:
  void UploadFiles(const TransferJob& job) override {
    ++starts;
    channel = &job.progressChannel;
    state = &job.upgradeState;
    *state = 11;  // running, as the real transfer says until it ends
  }
  std::string UpgradeSection() const override { return section; }
  void EndNow() override { ++ends; }

  void Report(std::int16_t code) { *channel = code; }
  int starts = 0;
  int ends = 0;
  std::string section = "A";
  std::atomic<std::int16_t>* channel = nullptr;
  std::atomic<std::int16_t>* state = nullptr;
};

class FakeFtp final : public FtpUpgrade {
 public:
  int UploadFiles(const TransferJob& job) override {
    ++uploads;
    password = job.password;
    // The window's loop runs while FTP waits: the user may act meanwhile.
    if (during) std::exchange(during, nullptr)();
    return result;
  }
  int GetRomFile(const RomRequest& request) override {
    romRange = request.rangeText;
    return romResult;
  }
  std::string ResultText() const override { return "ftp said so"; }
  std::string UpgradeSection() const override { return "B"; }

  int result = 0;
  int romResult = -1;
  std::string romRange;
  int uploads = 0;
  std::function<void()> during;
  std::string password;
};

// A newer router's web server that takes any password, or none there.
class FakeWeb final : public WebExchange {
 public:
  Answer Exchange(std::string_view request, std::uint16_t) override {
    if (!listening) return {Answer::Outcome::NotSent, {}, "connection refused"};
    text_ = std::string("HTTP/1.1 200 OK\r\n\r\n") + (request.starts_with("GET / ") ? "<!--CAS:8003-->" : "menu");
    return {Answer::Outcome::Answered, text_, {}};
  }
  bool listening = true;

 private:
  std::string text_;
};

// The HTTP worker: reports what the test tells it to.
class FakeHttp {
 public:
  HttpWorkerStarter Starter() {
    return [this](HttpThreadContext&& context) {
      ++starts;
      channel = &context.stopCounter;
      state = &context.upgradeState;
      return std::make_unique<Worker>(*this);
    };
  }
  void Report(std::int16_t code) {
    *state = code;
    *channel = code;
  }
  void Finish() {
    finished = true;
    *channel = 124;
  }
  int starts = 0;
  bool finished = false;
  std::atomic<std::int16_t>* channel = nullptr;
  std::atomic<std::int16_t>* state = nullptr;

 private:
  struct Worker final : HttpWorker {
    explicit Worker(FakeHttp& fake) : fake_(fake) {}
    bool Finished() const override { return fake_.finished; }
    FakeHttp& fake_;
  };
};

class ControllerTest : public FormTest {
 protected:
  TUpgradeForm1& Started(std::vector<DeviceEntry> devices, InitialSetting control = DeliveredControl()) {
    search_.network = std::move(devices);
    UpgradeFormServices services{loop_, dialogs_, search_, notices_, application_, &tftp_, &ftp_};
    services.web = &web_;
    services.startHttpWorker = http_.Starter();
    form_ = std::make_unique<TUpgradeForm1>(std::move(services), std::vector<std::string>{},
                                            WriteDeliveredProgram(control));
    form_->FormCreate();
    form_->FormActivate();
    return *form_;
  }
  void Select(const std::string& address) {
    form_->Models().IPComBox.SetText(address);
    form_->IPComBoxChange();
  }
  void Ticks(int seconds) { loop_.AdvanceMs(1000LL * seconds); }
  const MessageRequest& LastBox() const { return dialogs_.Messages().back(); }

  FakeTftp tftp_;
  FakeFtp ftp_;
  FakeWeb web_;
  FakeHttp http_;
};

TEST_F(ControllerTest, RouterNotInTheTable) {
  auto& form = Started({});
  form.Models().IPComBox.SetText("10.9.9.9");
  form.UpgradeClick();
  EXPECT_TRUE(Logged("Read Select Router Infomation Error"));
  EXPECT_EQ(LastBox().text, "Please press \"ENTER\" to check router information in select box");
  EXPECT_EQ(LastBox().caption, "Router information not found");
  EXPECT_FALSE(form.Models().Upgrade.Enabled());
}

TEST_F(ControllerTest, RouterSilentToThePing) {
  auto& form = Started({{0, "10.0.0.1", "R", ""}});
  search_.pingAnswers = false;
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_TRUE(Logged("Unconnect to router : 10.0.0.1"));
  EXPECT_EQ(LastBox().text, "Unconnect to router");
  EXPECT_EQ(LastBox().caption, "Router connection failure");
  EXPECT_EQ(tftp_.starts, 0);
}

TEST_F(ControllerTest, UnreachableRouterHasNoMethod) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOrderOffset, 0);  // a method order would override even "none"
  auto& form = Started({{4, "10.0.0.1", "R", ""}}, control);
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_EQ(LastBox().text, "Could not detect upgrade method !");
  EXPECT_EQ(LastBox().caption, kSystemDefaultCaption);
  EXPECT_TRUE(Logged("Could not detect upgrade method to 10.0.0.1"));
  EXPECT_FALSE(form.StopTimerEnabled());
}

TEST_F(ControllerTest, TftpRecoveryCompletesAndSearchesAgain) {
  auto& form = Started({{0, "10.0.0.1", "R", ""}});
  Select("10.0.0.1");
  form.UpgradeClick();
  ASSERT_EQ(tftp_.starts, 1);
  EXPECT_EQ(form.UpgradeState(), 11);
  EXPECT_TRUE(Logged("Unsing TFTP upgrade mode to : 10.0.0.1"));
  Ticks(3);
  EXPECT_TRUE(Logged("StopCounter : 3"));
  tftp_.Report(1001);
  Ticks(5);
  EXPECT_FALSE(Logged("StopCounter : 4")) << "waiting for the reboot is not a stall";
  const int searchesBefore = search_.fullSearches;
  tftp_.Report(1000);
  Ticks(1);
  EXPECT_EQ(dialogs_.Messages().back().caption, "Recover Success");
  EXPECT_TRUE(Logged("TFTP upgrade section :A"));
  EXPECT_EQ(search_.fullSearches, searchesBefore + 1);
  EXPECT_FALSE(form.StopTimerEnabled());
}

TEST_F(ControllerTest, TftpRefusedFileWarnsTheUser) {
  auto& form = Started({{0, "10.0.0.1", "R", ""}});
  Select("10.0.0.1");
  form.UpgradeClick();
  tftp_.Report(1002);
  Ticks(1);
  EXPECT_EQ(LastBox().text, "Incorrect upgrade file. Please check again!");
  EXPECT_EQ(LastBox().buttons, ButtonSet::Yes);
  EXPECT_EQ(LastBox().kind, BoxKind::Warning);
}

TEST_F(ControllerTest, StalledTransferEndsTheProgramAfterTimeOut) {
  auto& form = Started({{0, "10.0.0.1", "R", ""}});  // the delivered control sets 50 s
  Select("10.0.0.1");
  form.UpgradeClick();
  Ticks(30);
  tftp_.Report(0);  // progress: the count starts again
  Ticks(49);
  EXPECT_FALSE(form.Closed());
  EXPECT_TRUE(Logged("StopCounter : 49"));
  Ticks(1);
  EXPECT_EQ(LastBox().caption, "TFTP Upgrade Failure");
  EXPECT_EQ(LastBox().text,
            "Recover Not Complete. Please Power OFF and Power ON the router then execution program again !!");
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(application_.terminations, 1);
}

TEST_F(ControllerTest, CountsNeverReadAsCompletionCodes) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kTimeOutOffset, 127);
  auto& form = Started({{0, "10.0.0.1", "R", ""}}, control);
  Select("10.0.0.1");
  form.UpgradeClick();
  Ticks(126);
  EXPECT_TRUE(Logged("StopCounter : 122"));
  EXPECT_TRUE(Logged("StopCounter : 124"));
  EXPECT_FALSE(form.Closed());
  Ticks(1);
  EXPECT_EQ(LastBox().caption, "TFTP Upgrade Failure");
}

TEST_F(ControllerTest, MethodOrderOverridesExceptForTftpRouters) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOrderOffset, 3);  // TFTP first
  auto& form = Started({{1, "10.0.0.1", "R", ""}, {0, "10.0.0.2", "R", ""}}, control);
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_EQ(tftp_.starts, 1) << "a normal router goes by TFTP when TFTP comes first";
  EXPECT_EQ(form.UpgradeMethod(), 1);
}

TEST_F(ControllerTest, FtpFirstSucceedsWithoutLogin) {
  auto& form = Started({{1, "10.0.0.1", "R", ""}});  // the delivered control puts FTP first
  Select("10.0.0.1");
  form.Models().PasswordComBox.SetText("pw");
  form.UpgradeClick();
  EXPECT_EQ(ftp_.uploads, 1);
  EXPECT_EQ(ftp_.password, "pw");
  EXPECT_EQ(form.UpgradeState(), 132);
  EXPECT_TRUE(Logged("Unsing FTP upgrade to : 10.0.0.1 success"));
  EXPECT_TRUE(Logged("FTP upgrade section :B"));
  EXPECT_EQ(LastBox().caption, "Success");
  EXPECT_EQ(LastBox().text, "ftp said so");
  EXPECT_TRUE(form.Succeeded());
}

TEST_F(ControllerTest, FtpRefusedLoginEndsTheHandler) {
  auto& form = Started({{1, "10.0.0.1", "R", ""}});
  ftp_.result = -2;
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_EQ(LastBox().caption, "Authentication Failed");
  EXPECT_EQ(form.UpgradeMethod(), 3);
  // The run ended: a console stops waiting, and Exit leaves after saying so.
  EXPECT_EQ(form.UpgradeState(), 133);
  EXPECT_TRUE(form.Idle());
  EXPECT_FALSE(form.Succeeded());
  form.ExitClick();
  EXPECT_EQ(LastBox().text, "Upgrade Not Success, Please Run Again !");
  EXPECT_TRUE(form.Closed());
}

TEST_F(ControllerTest, FailedFtpFallsBackToHttpAndShowsARefusedLogin) {
  // Nothing listens on the web port, so the HTTP login fails to send: with
  // the method at 133 that verdict is shown instead of an HTTP start on a
  // negative port.
  auto& form = Started({{1, "127.0.0.1", "R", ""}});
  web_.listening = false;
  ftp_.result = -1;
  Select("127.0.0.1");
  form.UpgradeClick();
  EXPECT_TRUE(Logged("Unsing FTP upgrade mode fail : 127.0.0.1ftp said so"));
  EXPECT_EQ(form.UpgradeMethod(), 133);
  EXPECT_EQ(form.LoginResult(), -12);
  EXPECT_EQ(LastBox().text, "Send request error");
  EXPECT_EQ(form.UpgradeState(), 123);
  EXPECT_FALSE(Logged("Unsing HTTP upgrade mode to : 127.0.0.1"));
}

struct RomCase {
  const char* name;
  int ftpResult;
  std::uint8_t flags;  // 0x20: log pane shown
  std::string box;     // empty: none
  bool closes;
  bool triesHttp;
};

class RomDownloadTest : public ControllerTest, public ::testing::WithParamInterface<RomCase> {};

TEST_P(RomDownloadTest, FtpFirstThenTheWindowClosesOrStaysByTheRules) {
  const RomCase& c = GetParam();
  ftp_.romResult = c.ftpResult;
  // A download the control file asks for; nothing listens on the loopback
  // web port, so an HTTP login fails to send.
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kFlagsOffset, c.flags);
  control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodGet);
  control.SetText(InitialSetting::kDstIP, "127.0.0.1");
  control.SetText(InitialSetting::kPassWd, "pw");
  control.SetText(InitialSetting::kRomOffset, "0x1A00");
  control.SetText(InitialSetting::kRomLength, "512");
  // The field holds 32 bytes, fewer than a temporary path on some systems;
  // the fake FTP client and the failing login write no file, so a bare name
  // does.
  ASSERT_TRUE(control.SetText(InitialSetting::kRomFile, "rom.bin"));
  search_.network = {{1, "127.0.0.1", "R", ""}};  // the download acts only on a router the search found
  form_ = std::make_unique<TUpgradeForm1>(
      UpgradeFormServices{loop_, dialogs_, search_, notices_, application_, &tftp_, &ftp_},
      std::vector<std::string>{}, WriteDeliveredProgram(control));
  form_->FormCreate();
  form_->FormActivate();
  Ticks(1);
  EXPECT_TRUE(Logged("Try FTP Get Method first..."));
  EXPECT_EQ(ftp_.romRange, "6656#512") << "a hexadecimal offset is read as one";
  EXPECT_EQ(Logged("Try to use HTTP Get method."), c.triesHttp);
  EXPECT_EQ(form_->Closed(), c.closes);
  if (c.box.empty()) {
    EXPECT_TRUE(dialogs_.Messages().empty()) << dialogs_.Messages().front().text;
  } else {
    ASSERT_FALSE(dialogs_.Messages().empty());
    EXPECT_EQ(LastBox().text, c.box);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Results, RomDownloadTest,
    ::testing::Values(RomCase{"SavedClosesTheWindow", 1, 0x19, "", true, false},
                      RomCase{"SavedWithTheLogShownStaysOpen", 1, 0x39, "", false, false},
                      RomCase{"RefusedPasswordCloses", -2, 0x19, "Password error. Please check again.", true, false},
                      RomCase{"EndingErrorCloses", -3, 0x19, "", true, false},
                      RomCase{"EndingErrorWithTheLogShownStaysOpen", -3, 0x39, "", false, false},
                      RomCase{"FailedFtpTriesHttpAndAFailedLoginStaysOpen", -1, 0x19, "Send request error", false,
                              true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExitCase {
  std::int16_t state;
  std::string box;  // empty: none
  bool closes;
};

class ExitTest : public ControllerTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitTest, ExitButtonByUpgradeState) {
  const ExitCase& c = GetParam();
  auto& form = Started({{0, "10.0.0.1", "R", ""}});
  Select("10.0.0.1");
  form.UpgradeClick();  // running: the transfer says 11 until it ends
  *tftp_.state = c.state;
  const auto boxesBefore = dialogs_.Messages().size();
  form.ExitClick();
  EXPECT_EQ(form.Closed(), c.closes);
  if (c.box.empty()) {
    EXPECT_EQ(dialogs_.Messages().size(), boxesBefore);
  } else {
    EXPECT_EQ(LastBox().text, c.box);
  }
  if (!c.closes) {
    EXPECT_TRUE(form.Models().Exit.Enabled());
    EXPECT_TRUE(form.StopTimerEnabled());
  }
}

INSTANTIATE_TEST_SUITE_P(States, ExitTest,
                         ::testing::Values(ExitCase{11, "Don't Exit Upgrade Program When upgrade Not Complete !", false},
                                           ExitCase{121, "Don't Exit Upgrade Program When upgrade Not Complete !", false},
                                           ExitCase{131, "Don't Exit Upgrade Program When upgrade Not Complete !", false},
                                           ExitCase{13, "Upgrade Not Success, Please Run Again !", true},
                                           ExitCase{123, "Upgrade Not Success, Please Run Again !", true},
                                           ExitCase{12, "", true}, ExitCase{132, "", true}));

struct CloseCase {
  std::int16_t state;
  std::optional<DialogAnswer> answer;
  std::string box;
  bool closes;
};

class CloseQueryTest : public ControllerTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQueryTest, CloseQueryByUpgradeState) {
  const CloseCase& c = GetParam();
  auto& form = Started({{0, "10.0.0.1", "R", ""}});
  Select("10.0.0.1");
  form.UpgradeClick();  // running: the transfer says 11 until it ends
  *tftp_.state = c.state;
  if (c.answer) dialogs_.QueueAnswer(*c.answer);
  const auto boxesBefore = dialogs_.Messages().size();
  form.Close();
  EXPECT_EQ(form.Closed(), c.closes);
  if (c.box.empty()) {
    EXPECT_EQ(dialogs_.Messages().size(), boxesBefore);
  } else {
    EXPECT_EQ(LastBox().text, c.box);
  }
}

const std::string kReallyExit = "Upgrade Not complete, Do you really want to exit program ?";
INSTANTIATE_TEST_SUITE_P(States, CloseQueryTest,
                         ::testing::Values(CloseCase{11, DialogAnswer::Cancel, kReallyExit, false},
                                           CloseCase{121, DialogAnswer::Ok, kReallyExit, true},
                                           CloseCase{131, DialogAnswer::Cancel, kReallyExit, false},
                                           CloseCase{13, std::nullopt, "Upgrade Not success, please Run again !", true},
                                           CloseCase{123, std::nullopt, "Upgrade Not success, please Run again !", true},
                                           CloseCase{12, std::nullopt, "", true}, CloseCase{122, std::nullopt, "", true},
                                           CloseCase{132, std::nullopt, "", true}, CloseCase{0, std::nullopt, "", true}));

TEST_F(ControllerTest, NothingStartsASecondUpgradeWhileOneRuns) {
  auto& form = Started({{1, "10.0.0.1", "R", ""}, {0, "10.0.0.2", "R", ""}});
  // Everything that enables Upgrade, then a click: during FTP, which runs
  // inside the first click, and during TFTP, which runs after it.
  const auto tryEverything = [&] {
    form.PasswordComBoxChange();
    dialogs_.QueueFiles({ScratchPath("other.bin")});
    form.BrowseClick();
    Select("10.0.0.1");
    form.IPReFreshClick();
    EXPECT_FALSE(form.Models().Upgrade.Enabled());
    form.UpgradeClick();
  };
  ftp_.during = tryEverything;
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_EQ(ftp_.uploads, 1);
  EXPECT_TRUE(form.Models().Upgrade.Enabled()) << "the run is over";

  Select("10.0.0.2");
  form.UpgradeClick();
  ASSERT_EQ(tftp_.starts, 1);
  tryEverything();
  EXPECT_EQ(tftp_.starts, 1);
  EXPECT_EQ(ftp_.uploads, 1);
}

TEST_F(ControllerTest, NoFileToSendStopsTheWatchdog) {
  auto& form = Started({{0, "10.0.0.1", "R", ""}});
  form.ExitKeyDown(FunctionKey::F3, true);  // the bundle's files no longer count
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_EQ(LastBox().text, "Upgrade file Not select, please select a upgrade file !");
  EXPECT_FALSE(form.StopTimerEnabled());
  Ticks(form.TimeOut() + 1);
  EXPECT_FALSE(form.Closed());
  EXPECT_EQ(application_.terminations, 0);
}

TEST_F(ControllerTest, ASectionLeftUnwrittenIsNoSuccess) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kFlagsOffset, 0x19 | 0x40);  // section check on
  auto& form = Started({{1, "10.0.0.1", "R", ""}}, control);
  Select("10.0.0.1");
  form.UpgradeClick();
  EXPECT_EQ(form.UpgradeState(), 132);
  EXPECT_EQ(LastBox().text, "Upgrade Not complete, please run this program again !");
  EXPECT_FALSE(form.Succeeded());
}

TEST_F(ControllerTest, UnattendedRunStartsOnTheFirstTickAndEndsTheProgram) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodPut);
  control.SetText(InitialSetting::kDstIP, "10.0.0.1");
  auto& form = Started({{0, "10.0.0.1", "R", ""}}, control);
  EXPECT_EQ(search_.searchedAddresses, std::vector<std::string>{"10.0.0.1"});
  EXPECT_TRUE(form.StopTimerEnabled());
  Ticks(1);
  EXPECT_EQ(tftp_.starts, 1) << "the first tick starts the upgrade by itself";
  *tftp_.state = 12;
  tftp_.Report(1000);
  Ticks(1);
  EXPECT_TRUE(form.Closed()) << "an unattended run ends the program";
}

// The worker's codes are reports, not seconds of silence; an unattended
// run ends on its last.
TEST_F(ControllerTest, UnattendedHttpRunWaitsOutItsVerdictAndEndsOn124) {
  for (const std::int16_t verdict : {122, 123}) {
    SCOPED_TRACE(verdict);
    InitialSetting control = DeliveredControl();
    control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodPut);
    control.SetByte(InitialSetting::kMethodOrderOffset, 1);  // HTTP first
    control.SetText(InitialSetting::kDstIP, "10.0.0.1");
    auto& form = Started({{1, "10.0.0.1", "R", ""}}, control);
    Ticks(1);
    ASSERT_EQ(http_.starts, 1) << "the first tick starts the upgrade by itself";
    EXPECT_EQ(form.UpgradeState(), 121);
    http_.Report(verdict);
    Ticks(form.TimeOut() + 1);
    EXPECT_FALSE(form.Closed());
    EXPECT_FALSE(Logged("StopCounter : 1"));
    http_.Finish();
    Ticks(1);
    EXPECT_TRUE(form.Closed()) << "an unattended run ends the program";
    EXPECT_TRUE(Logged("HTTP upgrade section :"));
    http_ = FakeHttp();
  }
}

}  // namespace
}  // namespace fwu::testing
