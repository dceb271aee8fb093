// The device search against simulated routers inside a virtual LAN: every
// status code, the device list lines and the single-address check.
#include <gtest/gtest.h>

#include "integration/search_probe_runner.h"

namespace fwu {
namespace {

class SearchDiscovery : public ::testing::Test {
 protected:
  void SetUp() override { FWU_REQUIRE_VIRTUAL_LAN(); }

  void BuildLan(std::vector<LanRouter> routers) {
    lan_ = std::make_unique<VirtualLan>(std::move(routers));
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
  }
  void Start(const std::string& router, const std::vector<std::string>& args) {
    ASSERT_TRUE(lan_->StartRouter(router, args)) << lan_->Error();
  }

  std::unique_ptr<VirtualLan> lan_;
};

TEST_F(SearchDiscovery, FullSearchFilesEveryKindOfAnswerWithItsStatusCode) {
  BuildLan({{"Normal", {"192.168.10.1"}, true},
            {"Crashed", {"192.168.11.1"}, true},
            {"Silent", {"192.168.12.1"}, false},
            {"CrashSilent", {"192.168.13.1"}, false},
            {"Fixed", {"192.168.0.1"}, true},
            {"FixedSilent", {"192.168.2.1"}, false},
            {"AllSilent", {"192.168.14.1"}, false},
            {"QueryCrash", {"192.168.15.1"}, true}});
  Start("Normal", {"--rom-id", "QRT101", "--info", "Office"});
  Start("Crashed", {"--crashed", "--rom-id", "VNB101"});
  Start("Silent", {"--answer", "query"});
  Start("CrashSilent", {"--crashed"});
  Start("Fixed", {"--answer", "default"});
  Start("FixedSilent", {"--answer", "default", "--malformed", "two-answers"});
  Start("AllSilent", {"--answer", "query,boot,recovery"});
  Start("QueryCrash", {"--answer", "query,recovery"});

  const SearchProbeOutput found = RunSearchProbe(*lan_, "full show 222");
  ASSERT_EQ(found.exitStatus, 0) << found.err;
  EXPECT_EQ(CodesOf(found, "192.168.10.1"), (std::vector<int>{1, -2})) << "query and boot answers";
  EXPECT_EQ(CodesOf(found, "192.168.11.1"), std::vector<int>{0});
  EXPECT_EQ(CodesOf(found, "192.168.12.1"), std::vector<int>{4});
  EXPECT_EQ(CodesOf(found, "192.168.13.1"), std::vector<int>{3});
  EXPECT_EQ(CodesOf(found, "192.168.0.1"), std::vector<int>{2});
  EXPECT_EQ(CodesOf(found, "192.168.2.1"), (std::vector<int>{5, -6}));
  EXPECT_EQ(CodesOf(found, "192.168.14.1"), (std::vector<int>{4, -5, -4}));
  EXPECT_EQ(CodesOf(found, "192.168.15.1"), (std::vector<int>{1, -1}));
  ASSERT_EQ(found.entries.size(), 13u);
  ASSERT_EQ(found.statuses, std::vector<std::string>{"13 devices found"});

  const auto has = [&](const std::string& line) {
    return std::find(found.lines.begin(), found.lines.end(), line) != found.lines.end();
  };
  EXPECT_TRUE(has("192.168.10.1  QRT101 - Office   normal"));
  EXPECT_TRUE(has("192.168.10.1  QRT101 - Office   normal IP duplicate"));
  EXPECT_TRUE(has("192.168.11.1  $QuelbyVNB101 - unknown   crash"));
  EXPECT_TRUE(has("192.168.0.1  default IP - unknown   default"));
  EXPECT_TRUE(has("192.168.2.1  default IP - unknown   default IP unreachable and duplicate"));
}

TEST_F(SearchDiscovery, ShortListShowsWarningsOnlyAndTheCount) {
  BuildLan({{"Normal", {"192.168.10.1"}, true}, {"Crashed", {"192.168.11.1"}, false}});
  Start("Normal", {"--answer", "query"});
  Start("Crashed", {"--crashed"});
  const SearchProbeOutput found = RunSearchProbe(*lan_, "--flags 0x09 full show 111");
  ASSERT_EQ(found.exitStatus, 0) << found.err;
  EXPECT_EQ(found.lines, (std::vector<std::string>{"192.168.10.1", "192.168.11.1   crash and IP unreachable"}));
  EXPECT_EQ(found.statuses, std::vector<std::string>{"2 devices found"});
}

TEST_F(SearchDiscovery, AddressThatOnlyAnswersTheEchoIsAnUnknownDevice) {
  BuildLan({{"Bare", {"192.168.20.1"}, true}, {"Mute", {"192.168.21.1"}, false}});
  const SearchProbeOutput bare = RunSearchProbe(*lan_, "address 192.168.20.1 show 222");
  ASSERT_EQ(bare.exitStatus, 0) << bare.err;
  EXPECT_EQ(bare.lines, std::vector<std::string>{"192.168.20.1  unknow module -    unknow device"});
  EXPECT_EQ(bare.statuses, std::vector<std::string>{"1 device found"});

  const SearchProbeOutput mute = RunSearchProbe(*lan_, "address 192.168.21.1 show 222");
  ASSERT_EQ(mute.exitStatus, 0) << mute.err;
  EXPECT_TRUE(mute.lines.empty());
  EXPECT_EQ(mute.statuses, std::vector<std::string>{"0 device found"});
}

TEST_F(SearchDiscovery, MalformedAnswersAreFilteredOrReadWithinTheirData) {
  BuildLan({{"Long", {"192.168.10.1"}, true},
            {"NoZero", {"192.168.11.1"}, true},
            {"BadTag", {"192.168.12.1"}, true}});
  Start("Long", {"--answer", "query", "--malformed", "too-long"});
  Start("NoZero", {"--answer", "query", "--rom-id", "ABC", "--info", "Office", "--malformed", "no-zero"});
  Start("BadTag", {"--crashed", "--malformed", "tag-at-0"});
  // Unicast probes, one router at a time, so that no answer hides another.
  const SearchProbeOutput tooLong = RunSearchProbe(*lan_, "--flags 0x09 address 192.168.10.1 show 222");
  ASSERT_EQ(tooLong.exitStatus, 0) << tooLong.err;
  EXPECT_EQ(tooLong.lines, std::vector<std::string>{"192.168.10.1  unknow module -    unknow device"})
      << "the 100-byte answer ends the reading without an entry";

  const SearchProbeOutput badTag = RunSearchProbe(*lan_, "--flags 0x09 address 192.168.12.1 show 222");
  ASSERT_EQ(badTag.exitStatus, 0) << badTag.err;
  EXPECT_EQ(CodesOf(badTag, "192.168.12.1"), std::vector<int>{6}) << "a tag at byte 0 is no recovery answer";

  const SearchProbeOutput noZero = RunSearchProbe(*lan_, "--flags 0x09 address 192.168.11.1 show 222");
  ASSERT_EQ(noZero.exitStatus, 0) << noZero.err;
  ASSERT_EQ(noZero.entries.size(), 1u);
  EXPECT_EQ(noZero.entries[0].status, 1);
  EXPECT_EQ(noZero.entries[0].romId, "ABC");
  EXPECT_EQ(noZero.entries[0].info, "Office" + std::string(26, ' ') + "ABC") << "texts end with the data";
}

}  // namespace
}  // namespace fwu
