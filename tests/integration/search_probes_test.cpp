// What the search sends, as routersim records it: which probes the flags
// select, the ROM ID in the boot probe, and the local port 68 kept.
#include <gtest/gtest.h>

#include "integration/search_probe_runner.h"

namespace fwu {
namespace {

constexpr char kFixed[] = "192.168.0.1";

class SearchProbes : public ::testing::Test {
 protected:
  void SetUp() override {
    FWU_REQUIRE_VIRTUAL_LAN();
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"R1", {kFixed}, true}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    ASSERT_TRUE(lan_->StartRouter("R1", {"--answer", "query,boot,recovery,default"})) << lan_->Error();
  }
  std::string ProbeLines() const {
    std::string probes;
    std::istringstream record(lan_->RecordOf("R1"));
    for (std::string line; std::getline(record, line);) {
      if (line.rfind("probe ", 0) == 0) probes += line + "\n";
    }
    return probes;
  }

  std::unique_ptr<VirtualLan> lan_;
};

TEST_F(SearchProbes, NoFlagsSendNothingAndTheFixedAddressNeedsBothItsBits) {
  const SearchProbeOutput none = RunSearchProbe(*lan_, "--flags 0 full show 222");
  ASSERT_EQ(none.exitStatus, 0) << none.err;
  EXPECT_EQ(none.statuses, std::vector<std::string>{"0 device found"});

  const SearchProbeOutput fixedBitOnly = RunSearchProbe(*lan_, "--flags 0x04 full show 222");
  ASSERT_EQ(fixedBitOnly.exitStatus, 0) << fixedBitOnly.err;
  EXPECT_TRUE(fixedBitOnly.entries.empty());
  EXPECT_EQ(ProbeLines(), "") << "neither search may probe anything";

  const SearchProbeOutput both = RunSearchProbe(*lan_, "--flags 0x84 --ip1 '' --ip2 '' --ip4 '' full show 222");
  ASSERT_EQ(both.exitStatus, 0) << both.err;
  EXPECT_EQ(CodesOf(both, kFixed), std::vector<int>{2});
  EXPECT_EQ(ProbeLines().find("probe default from "), 0u) << ProbeLines();
}

TEST_F(SearchProbes, BootProbeCarriesTheFirstFifteenCharactersOfALongRomId) {
  const SearchProbeOutput found = RunSearchProbe(*lan_, "--flags 0x02 --romid ABCDEFGHIJKLMNOPQRST full");
  ASSERT_EQ(found.exitStatus, 0) << found.err;
  ASSERT_TRUE(lan_->WaitForRecord("R1", "probe boot")) << lan_->RecordOf("R1");
  EXPECT_NE(ProbeLines().find("len 548 romid ABCDEFGHIJKLMNO\n"), std::string::npos) << ProbeLines();
}

TEST_F(SearchProbes, ProbesAfterTheBootProbeGoOutFromPort68) {
  const SearchProbeOutput found = RunSearchProbe(*lan_, "--flags 0x0B full clear address 192.168.0.1 show 222");
  ASSERT_EQ(found.exitStatus, 0) << found.err;
  const std::string probes = ProbeLines();
  std::istringstream lines(probes);
  std::vector<std::string> order;
  for (std::string line; std::getline(lines, line);) order.push_back(line);
  // The second search stops after its query: the router is listed then.
  ASSERT_EQ(order.size(), 4u) << probes;
  EXPECT_EQ(order[0].rfind("probe query from ", 0), 0u);
  EXPECT_EQ(order[0].find(":68 "), std::string::npos) << "the first query goes out from any port";
  for (std::size_t i = 1; i < order.size(); ++i) EXPECT_NE(order[i].find(":68 "), std::string::npos) << order[i];
  EXPECT_EQ(order[3].rfind("probe query from ", 0), 0u) << "the second search starts again with the query";
}

}  // namespace
}  // namespace fwu
