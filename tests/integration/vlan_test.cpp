// The virtual LAN itself: what scripts/vlan builds, and that it goes away.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "integration/routersim_test_support.h"
#include "platform/files.h"

namespace fwu {
namespace {

bool NamespacesLeft(const std::string& lanName) {
  const CommandResult list = RunCommand({"ip", "netns", "list"}, 5000);
  return list.out.find(lanName + "-") != std::string::npos;
}

TEST(VirtualLanTest, DefaultAddressRoutersAnswerBroadcastAndEchoAsConfigured) {
  FWU_REQUIRE_VIRTUAL_LAN();
  std::string name;
  {
    VirtualLan lan({{"A", {"192.168.123.254"}, true},
                    {"B", {"192.168.2.1"}, false},
                    {"C", {"192.168.0.1"}, true},
                    {"D", {"192.168.1.254", "192.168.1.100"}, true}});
    ASSERT_TRUE(lan.Up()) << lan.Error();
    name = lan.Name();
    EXPECT_TRUE(NamespacesLeft(name));
    // .100 belongs to router D in its subnet, so the PC takes another host.
    const auto pc = lan.PcAddresses();
    EXPECT_EQ(pc, (std::vector<std::string>{"192.168.123.100", "192.168.2.100", "192.168.0.100",
                                            "192.168.1.101"}));

    EXPECT_EQ(lan.RunInPc("ping -c1 -W1 192.168.123.254").exitStatus, 0);
    EXPECT_NE(lan.RunInPc("ping -c1 -W1 192.168.2.1").exitStatus, 0);
    EXPECT_EQ(lan.RunInPc("ping -c1 -W1 192.168.1.100").exitStatus, 0);
    // Unprivileged ICMP sockets, as the upgrader's echo uses them.
    EXPECT_EQ(lan.RunInPc("setpriv --reuid=65534 --regid=65534 --clear-groups ping -c1 -W1 192.168.0.1").exitStatus,
              0);

    for (const char* router : {"A", "B", "C", "D"}) ASSERT_TRUE(lan.StartRouter(router)) << lan.Error();
    const auto answers = SendProbe(lan, "query", "255.255.255.255");
    std::vector<std::string> from;
    for (const auto& answer : answers) from.push_back(answer.from);
    std::sort(from.begin(), from.end());
    EXPECT_EQ(from, (std::vector<std::string>{"192.168.0.1", "192.168.1.254", "192.168.123.254", "192.168.2.1"}));
    // A router process left running must not keep the LAN alive.
  }
  EXPECT_FALSE(NamespacesLeft(name));
  EXPECT_FALSE(FileExists("/run/fwu-vlan/" + name));
}

TEST(VirtualLanTest, RefusedUpLeavesNothingBehind) {
  FWU_REQUIRE_VIRTUAL_LAN();
  // The second address is no host address: vlan refuses it before building.
  VirtualLan lan({{"A", {"192.168.0.1"}, true}, {"B", {"192.168.0.255"}, true}});
  EXPECT_FALSE(lan.Up());
  EXPECT_FALSE(NamespacesLeft(lan.Name()));
}

TEST(VirtualLanTest, FailureHalfWayRemovesWhatWasBuilt) {
  FWU_REQUIRE_VIRTUAL_LAN();
  // Passes the checks, then fails adding the address a second time, after
  // the switch, the PC and the first router exist.
  VirtualLan lan({{"A", {"192.168.0.1"}, true}, {"B", {"192.168.1.1", "192.168.1.1"}, true}});
  EXPECT_FALSE(lan.Up());
  EXPECT_NE(lan.Error().find("cannot address router B"), std::string::npos) << lan.Error();
  EXPECT_FALSE(NamespacesLeft(lan.Name()));
  EXPECT_FALSE(FileExists("/run/fwu-vlan/" + lan.Name()));
}

TEST(VirtualLanTest, DownKillsProcessesLeftInTheNamespaces) {
  FWU_REQUIRE_VIRTUAL_LAN();
  const std::string script = VirtualLan::ScriptPath();
  const std::string name = "fwudown" + std::to_string(getpid());
  ASSERT_EQ(RunCommand({script, "up", name, "--router", "R1=192.168.0.1"}, 30000).exitStatus, 0);
  EXPECT_NE(RunCommand({script, "list"}, 5000).out.find(name + "\n"), std::string::npos);
  EXPECT_NE(RunCommand({script, "exec", name, "R2", "--", "true"}, 5000).exitStatus, 0) << "no such router";
  EXPECT_NE(RunCommand({script, "up", name, "--router", "R1=192.168.0.1"}, 30000).exitStatus, 0)
      << "a second LAN of the same name is refused";
  // The marker is written from inside the namespace: only then is there a
  // process there for "down" to kill.
  const std::string marker = "/tmp/" + name + ".inside";
  RemoveFile(marker);
  BackgroundProcess sleeper;
  ASSERT_TRUE(sleeper.Start({script, "exec", name, "R1", "--", "sh", "-c", "touch " + marker + " && exec sleep 30"},
                            "/dev/null", "/dev/null"));
  for (int i = 0; i < 500 && !FileExists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(FileExists(marker)) << "the process never started inside the namespace";
  RemoveFile(marker);
  EXPECT_EQ(RunCommand({script, "down", name}, 30000).exitStatus, 0);
  for (int i = 0; i < 100 && !sleeper.Exited(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(sleeper.Exited());
  EXPECT_FALSE(NamespacesLeft(name));
  EXPECT_EQ(RunCommand({script, "list"}, 5000).out.find(name + "\n"), std::string::npos);
  EXPECT_EQ(RunCommand({script, "down", name}, 30000).exitStatus, 0) << "down must be idempotent";
}

}  // namespace
}  // namespace fwu
