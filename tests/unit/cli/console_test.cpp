#include <sstream>

#include "cli/console_prompts.h"
#include "cli/console_view.h"
#include "cli/recover_options.h"
#include "cli/router_list.h"
#include "cli/run_verdict.h"
#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

TEST(ConsoleProgressBar, StaysFullAtAndPastItsMaximumAndCountsBytes) {
  MainWindowModels models;
  std::ostringstream out, err;
  ConsoleView view(models, out, err, ConsoleView::Options{true, [] { return true; }, [] { return std::uint64_t{512}; }});
  models.ProgressBar1.SetMax(4096);
  models.ProgressBar1.SetPosition(4096);
  const std::string full = err.str();
  EXPECT_TRUE(full.ends_with("\r[" + std::string(30, '#') + "] 100%  2.0 MB of 2.0 MB   ")) << full;
  // A ROM read counts its header too and passes the maximum.
  EXPECT_NO_THROW(models.ProgressBar1.SetPosition(5000));
  EXPECT_EQ(err.str(), full) << "still full, drawn once";
}

TEST(ConsoleLogPane, HoldsLinesBackUntilTheLogIsAskedFor) {
  MainWindowModels models;
  std::ostringstream out, err;
  bool shown = false;
  ConsoleView view(models, out, err, ConsoleView::Options{false, [&] { return shown; }});
  models.Memo1.AddLine("Recv : 1");
  EXPECT_EQ(out.str(), "");
  shown = true;
  models.Memo1.AddLine("Recv : 2");
  EXPECT_EQ(out.str(), "Recv : 1\nRecv : 2\n");
}

TEST(RouterList, FoldsTheAnswersOfOneAddressAndAlignsTheColumns) {
  const std::vector<DeviceEntry> table{{1, "192.168.123.254", "R1A", "Attic"},
                                       {-2, "192.168.123.254", "R1A", "Attic"},
                                       {0, "192.168.0.1", "$QuelbyX", "unknown"},
                                       {2, "192.168.1.254", "default IP", "unknown"},
                                       {4, "10.0.0.7", "OLD", "Cellar"},
                                       {6, "10.0.0.9", "unknow module", ""}};
  const auto routers = FoldedRouters(table);
  ASSERT_EQ(routers.size(), 5u);
  EXPECT_EQ(RouterListLines(routers),
            (std::vector<std::string>{"  1)  192.168.123.254  running          R1A            Attic",
                                      "  2)  192.168.0.1      crashed          $QuelbyX       unknown",
                                      "  3)  192.168.1.254    factory default  default IP     unknown",
                                      "  4)  10.0.0.7         no echo          OLD            Cellar",
                                      "  5)  10.0.0.9         unknown          unknow module"}));
  EXPECT_EQ(RouterCountText(routers.size()), "5 routers found");
  EXPECT_EQ(RouterCountText(1), "1 router found");
  // A router's own words can hold anything; JSON stays valid.
  EXPECT_EQ(RouterListJson(FoldedRouters({{1, "10.0.0.1", "A\"\\", "caf\xe9\n"}})),
            "[\n  {\"address\": \"10.0.0.1\", \"kind\": \"running\", \"status\": 1, \"rom_id\": \"A\\\"\\\\\", "
            "\"info\": \"caf\xc3\xa9\\u000a\"}\n]\n");
}

TEST(RecoverOptions, WaitingOptionsNeedWaitAndSecondsAreBounded) {
  const auto parsed = [](std::vector<std::string> words) { return ParseRecoverOptions(words); };
  const ParsedRecoverOptions all = parsed({"--wait", "--all", "--timeout", "30", "--log", "r.jsonl", "fw.bin"});
  ASSERT_TRUE(all.options) << all.error;
  EXPECT_EQ(all.options->timeoutSeconds, 30);
  EXPECT_EQ(all.options->verifySeconds, RecoverOptions::kDefaultVerifySeconds);
  EXPECT_EQ(all.options->file, "fw.bin");
  EXPECT_FALSE(parsed({}).options->timeoutSeconds) << "waits for ever by default";
  EXPECT_EQ(parsed({"--timeout", "3"}).error, "--timeout needs --wait");
  EXPECT_EQ(parsed({"--all"}).error, "--all needs --wait");
  EXPECT_EQ(parsed({"--wait", "--timeout", "0"}).error, "--timeout wants seconds from 1 to 86400");
  EXPECT_EQ(parsed({"--verify-timeout", "9x"}).error, "--verify-timeout wants seconds from 1 to 86400");
  EXPECT_EQ(parsed({"--only", "router"}).error, "--only wants a dotted IPv4 address");
  EXPECT_EQ(parsed({"--log"}).error, "--log wants a value");
  EXPECT_EQ(parsed({"a.bin", "b.bin"}).error, "one FILE per run");
}

TEST(VerdictLine, NamesWhatWasSentOrWhyNot) {
  RunFacts facts;
  facts.address = "192.168.10.1";
  facts.messages = {{"Incorrect password. Please check and input again!", "Authentication Failed"}};
  EXPECT_EQ(VerdictLine(facts), "fwupgrade: 192.168.10.1 NOT upgraded: Incorrect password");
  facts.messages = {{"Please press \"ENTER\" to check router information in select box", "Router information not found"}};
  EXPECT_EQ(VerdictLine(facts), "fwupgrade: 192.168.10.1 NOT upgraded: Router information not found");
  facts.endedBy = "SIGINT";
  facts.romDownload = true;
  EXPECT_EQ(VerdictLine(facts), "fwupgrade: 192.168.10.1 ROM data NOT saved: ended by SIGINT");

  RunFacts upgraded;
  upgraded.succeeded = true;
  upgraded.address = "192.168.10.1";
  upgraded.romId = "R1A";
  upgraded.upgradeState = 122;
  upgraded.fileNames = {"fw.bin"};
  upgraded.bytes = 4 * 1024 * 1024 + 1000;
  upgraded.seconds = 3.26;
  EXPECT_EQ(VerdictLine(upgraded), "fwupgrade: 192.168.10.1 (R1A) upgraded by HTTP with fw.bin (4.0 MB) in 3.3 s");
}

class ConsolePromptTest : public FormTest {
 protected:
  TUpgradeForm1& Preset(const std::string& password) {
    search_.network = {{1, "10.0.0.1", "R", ""}, {1, "10.0.0.2", "R", ""}};
    auto& form = MakeForm({"set", "10.0.0.1", password, "null", ScratchPath("fw.bin")}, WriteDeliveredProgram());
    form.FormCreate();
    form.FormActivate();
    return form;
  }
  bool Ask(const std::string& router, const std::string& password) {
    std::istringstream routerIn(router), passwordIn(password);
    return AskRouter(*form_, {{"1", "10.0.0.1"}, {"2", "10.0.0.2"}}, routerIn, err_) &&
           AskPassword(*form_, passwordIn, err_, false, false);
  }
  std::string Password() const { return form_->Models().PasswordComBox.Text(); }
  std::ostringstream err_;
};

TEST_F(ConsolePromptTest, EnterTwiceKeepsThePresetRouterAndPassword) {
  Preset("secret");
  ASSERT_TRUE(Ask("\n", "\n"));
  EXPECT_EQ(form_->Models().IPComBox.Text(), "10.0.0.1");
  EXPECT_EQ(Password(), "secret");
  EXPECT_TRUE(form_->Models().Upgrade.Enabled());
}

TEST_F(ConsolePromptTest, ATypedPasswordIsTakenWholeUnlikeTheWindowsBox) {
  Preset("null");
  ASSERT_TRUE(Ask("2\n", "0123456789abc\n"));
  EXPECT_EQ(form_->Models().IPComBox.Text(), "10.0.0.2");
  EXPECT_EQ(Password(), "0123456789abc");
  EXPECT_FALSE(Ask("", "")) << "input ended before a choice";
}

}  // namespace
}  // namespace fwu::testing
