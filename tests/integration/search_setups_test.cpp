// The full search on the LANs installers plug into: no default route, the
// default route on another interface, an ordinary user, port 68 taken. In
// each, a running and a crashed router are found.
#include <gtest/gtest.h>

#include "integration/search_probe_runner.h"

namespace fwu {
namespace {

struct PcSetup {
  const char* name;
  const char* pcRoute;  // vlan's --pc-route
  std::string prefix;   // shell text before the search program
  const char* skipped;  // the log line of the skipped boot probe, or ""
};

void PrintTo(const PcSetup& setup, std::ostream* out) { *out << setup.name; }

std::string HoldPort68() {
  // As a DHCP client does; bounded wait until the port is taken.
  return VirtualLan::BinPath("netprobe") +
         " udp --to 127.0.0.1:9 --from-port 68 --wait 20000 --text x >/dev/null 2>&1 &"
         " for i in $(seq 100); do ss -Hlun 'sport = :68' | grep -q . && break; sleep 0.05; done; ";
}

class SearchSetups : public ::testing::TestWithParam<PcSetup> {
 protected:
  void SetUp() override { FWU_REQUIRE_VIRTUAL_LAN(); }
};

TEST_P(SearchSetups, FullSearchFindsARunningAndACrashedRouter) {
  const PcSetup& setup = GetParam();
  VirtualLan lan({{"Normal", {"192.168.10.1"}, true}, {"Crashed", {"192.168.11.1"}, true}}, setup.pcRoute);
  ASSERT_TRUE(lan.Up()) << lan.Error();
  ASSERT_TRUE(lan.StartRouter("Normal", {"--rom-id", "QRT101", "--info", "Office"})) << lan.Error();
  ASSERT_TRUE(lan.StartRouter("Crashed", {"--crashed"})) << lan.Error();

  const SearchProbeOutput found = RunSearchProbe(lan, "full show 222", 20000, setup.prefix);
  ASSERT_EQ(found.exitStatus, 0) << found.err;
  const bool bootSkipped = *setup.skipped != '\0';
  const std::vector<int> normalCodes = bootSkipped ? std::vector<int>{1} : std::vector<int>{1, -2};
  EXPECT_EQ(CodesOf(found, "192.168.10.1"), normalCodes) << "query answer, then the boot answer";
  EXPECT_EQ(CodesOf(found, "192.168.11.1"), std::vector<int>{0});
  EXPECT_EQ(found.log, bootSkipped ? std::vector<std::string>{setup.skipped} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Pc, SearchSetups,
    ::testing::Values(PcSetup{"NoDefaultRoute", "none", "", ""},
                      PcSetup{"DefaultRouteOnASecondInterface", "wifi", "", ""},
                      PcSetup{"OrdinaryUser", "lan", "setpriv --reuid=nobody --regid=nogroup --clear-groups ",
                              "Search skipped the boot probe: Permission Denied."},
                      PcSetup{"Port68Taken", "lan", HoldPort68(), "Search skipped the boot probe: Address already in use."}),
    [](const ::testing::TestParamInfo<PcSetup>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwu
