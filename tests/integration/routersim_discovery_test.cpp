// routersim's discovery answers as the upgrader's search receives them
// inside a virtual LAN, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "integration/routersim_test_support.h"

namespace fwu {
namespace {

constexpr char kRouter[] = "192.168.0.1";

class RouterSimDiscovery : public ::testing::Test {
 protected:
  void SetUp() override { FWU_REQUIRE_VIRTUAL_LAN(); }

  // A LAN with one router at kRouter running routersim with args.
  void StartOne(const std::vector<std::string>& args) {
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"R1", {kRouter}, true}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    ASSERT_TRUE(lan_->StartRouter("R1", args)) << lan_->Error();
  }

  std::unique_ptr<VirtualLan> lan_;
};

TEST_F(RouterSimDiscovery, RunningRouterAnswersQueryAndBootWithItsTexts) {
  StartOne({"--rom-id", "ABC123", "--info", "Office"});
  const auto query = SendProbe(*lan_, "query", "255.255.255.255");
  ASSERT_EQ(query.size(), 1u);
  EXPECT_EQ(query[0].from, kRouter);
  EXPECT_EQ(query[0].port, 9);
  EXPECT_EQ(query[0].bytes.size(), 68u);
  EXPECT_EQ(TextAt(query[0].bytes, 44), "ABC123");
  EXPECT_EQ(TextAt(query[0].bytes, 12), "Office");

  const auto boot = SendProbe(*lan_, "boot", "255.255.255.255", "--romid Kavlor");
  ASSERT_EQ(boot.size(), 1u);
  EXPECT_EQ(boot[0].port, 67);
  ASSERT_EQ(boot[0].bytes.size(), 548u);
  EXPECT_EQ(boot[0].bytes[0], 0xC1);
  EXPECT_EQ(boot[0].bytes[3], 0x10);
  EXPECT_EQ(TextAt(boot[0].bytes, 108), "ABC123");
  EXPECT_EQ(TextAt(boot[0].bytes, 140), "Office");

  EXPECT_TRUE(SendProbe(*lan_, "recovery", kRouter).empty());
  EXPECT_TRUE(SendProbe(*lan_, "default", kRouter).empty());
  const std::string record = lan_->RecordOf("R1");
  EXPECT_NE(record.find("probe query from 192.168.0.100:68 len 4\n"), std::string::npos) << record;
  EXPECT_NE(record.find("probe boot from 192.168.0.100:68 len 548 romid Kavlor\n"), std::string::npos);
  EXPECT_NE(record.find("probe recovery from 192.168.0.100:68 len 11 unanswered"), std::string::npos);
  EXPECT_NE(record.find("probe default from 192.168.0.100:68 len 3 unanswered"), std::string::npos);
}

TEST_F(RouterSimDiscovery, CrashedRouterAnswersOnlyTheRecoveryProbe) {
  StartOne({"--crashed", "--rom-id", "QRT101"});
  EXPECT_TRUE(SendProbe(*lan_, "query", "255.255.255.255").empty());
  EXPECT_TRUE(SendProbe(*lan_, "boot", "255.255.255.255").empty());
  const auto recovery = SendProbe(*lan_, "recovery", "255.255.255.255");
  ASSERT_EQ(recovery.size(), 1u);
  EXPECT_EQ(recovery[0].port, 69);
  const Bytes expected = ToBytes(std::string("\0\3\0\1$QuelbyQRT101\0", 18));
  EXPECT_EQ(recovery[0].bytes, expected);
}

TEST_F(RouterSimDiscovery, AnswerListSelectsProbesIncludingTheDefaultAddressOne) {
  StartOne({"--answer", "default,recovery", "--rom-id", "X9"});
  EXPECT_TRUE(SendProbe(*lan_, "query", kRouter).empty());
  const auto fallback = SendProbe(*lan_, "default", kRouter);
  ASSERT_EQ(fallback.size(), 1u);
  EXPECT_LE(fallback[0].bytes.size(), 64u);
  EXPECT_EQ(SendProbe(*lan_, "recovery", kRouter).size(), 1u);
}

TEST_F(RouterSimDiscovery, BootMarksCanBeSetApart) {
  StartOne({"--boot-mark", "10"});
  auto boot = SendProbe(*lan_, "boot", kRouter);
  ASSERT_EQ(boot.size(), 1u);
  EXPECT_NE(boot[0].bytes[0], 0xC1);
  EXPECT_EQ(boot[0].bytes[3], 0x10);
  lan_->StopRouter("R1");
  ASSERT_TRUE(lan_->StartRouter("R1", {"--boot-mark", "c1"}));
  boot = SendProbe(*lan_, "boot", kRouter);
  ASSERT_EQ(boot.size(), 1u);
  EXPECT_EQ(boot[0].bytes[0], 0xC1);
  EXPECT_NE(boot[0].bytes[3], 0x10);
}

TEST_F(RouterSimDiscovery, BootProbeFromAnotherPortIsNotAnswered) {
  StartOne({});
  const auto answers = ParseProbeAnswers(
      lan_->RunInPc(VirtualLan::BinPath("netprobe") + " udp --to 192.168.0.1:67 --probe boot --wait 300").out);
  EXPECT_TRUE(answers.empty());
  EXPECT_TRUE(lan_->WaitForRecord("R1", "unanswered"));
}

TEST_F(RouterSimDiscovery, MalformedAnswersBreakTheirRuleAndNothingElse) {
  StartOne({"--malformed", "too-long", "--answer", "query,boot,recovery,default"});
  EXPECT_EQ(SendProbe(*lan_, "query", kRouter).at(0).bytes.size(), 100u);
  EXPECT_GT(SendProbe(*lan_, "boot", kRouter).at(0).bytes.size(), 548u);
  EXPECT_GT(SendProbe(*lan_, "recovery", kRouter).at(0).bytes.size(), 516u);
  EXPECT_GT(SendProbe(*lan_, "default", kRouter).at(0).bytes.size(), 64u);

  lan_->StopRouter("R1");
  ASSERT_TRUE(lan_->StartRouter("R1", {"--crashed", "--malformed", "tag-at-0"}));
  const Bytes recovery = SendProbe(*lan_, "recovery", kRouter).at(0).bytes;
  EXPECT_EQ(TextAt(recovery, 0), "$QuelbyQRT101");

  lan_->StopRouter("R1");
  ASSERT_TRUE(lan_->StartRouter("R1", {"--malformed", "no-zero", "--rom-id", "NZ7"}));
  const Bytes query = SendProbe(*lan_, "query", kRouter).at(0).bytes;
  EXPECT_EQ(query.size(), 47u);
  EXPECT_EQ(ToText(Bytes(query.begin() + 44, query.end())), "NZ7");
  EXPECT_EQ(std::count(query.begin() + 12, query.end(), 0), 0);

  lan_->StopRouter("R1");
  ASSERT_TRUE(lan_->StartRouter("R1", {"--malformed", "two-answers"}));
  const auto twice = SendProbe(*lan_, "query", kRouter);
  ASSERT_EQ(twice.size(), 2u);
  EXPECT_EQ(twice[0].bytes, twice[1].bytes);
}

}  // namespace
}  // namespace fwu
