// doctor on a PC with two links and the default route on the second, as
// root while another program holds the TFTP port, and as an ordinary user:
// each of those shows in its own line, and the JSON says the same.
#include <gtest/gtest.h>

#include "integration/vlan_fixture.h"

namespace fwu {
namespace {

std::string HoldPort69() {
  // Bounded: the holder ends by itself, and the wait for it is short.
  return VirtualLan::BinPath("netprobe") +
         " udp --to 127.0.0.1:9 --from-port 69 --wait 20000 --text x >/dev/null 2>&1 &"
         " for i in $(seq 100); do ss -Hlun 'sport = :69' | grep -q . && break; sleep 0.05; done; ";
}

TEST(Doctor, NamesBothLinksThePort68RightAndThePort69Holder) {
  FWU_REQUIRE_VIRTUAL_LAN();
  VirtualLan lan({{"Normal", {"192.168.10.1"}, true}}, "wifi");
  ASSERT_TRUE(lan.Up()) << lan.Error();
  const std::string doctor = VirtualLan::BinPath("fwupgrade-cli") + " doctor";
  const std::string asUser = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";

  const CommandResult root = lan.RunInPc(HoldPort69() + doctor, 20000);
  EXPECT_EQ(root.exitStatus, 0) << root.out << root.err;
  EXPECT_NE(root.out.find("OK    interfaces  eth0: 192.168.10."), std::string::npos) << root.out;
  EXPECT_NE(root.out.find("eth1: 10.77.0.100/24, up, carrier, virtual (veth), default route"), std::string::npos)
      << root.out;
  EXPECT_NE(root.out.find("UDP port 69 is held by netprobe (pid "), std::string::npos) << root.out;
  EXPECT_NE(root.out.find("OK    firewall"), std::string::npos) << root.out;

  // Another user's processes stay unnamed, and the rules unread.
  const CommandResult user = lan.RunInPc(asUser + doctor);
  EXPECT_EQ(user.exitStatus, 0) << user.out << user.err;
  EXPECT_NE(user.out.find("WARN  privileges  port 68 cannot be bound by this user"), std::string::npos) << user.out;
  EXPECT_NE(user.out.find("cannot read the firewall rules as this user"), std::string::npos) << user.out;

  const CommandResult json = lan.RunInPc(doctor + " --json | python3 -c 'import json,sys; d=json.load(sys.stdin);"
                                         " print(d[\"result\"], len(d[\"interfaces\"]))'");
  EXPECT_EQ(json.exitStatus, 0) << json.err;
  EXPECT_EQ(json.out, "WARN 2\n");
}

}  // namespace
}  // namespace fwu
