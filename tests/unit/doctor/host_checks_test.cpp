#include <gtest/gtest.h>

#include <algorithm>

#include "doctor/host_checks.h"
#include "platform/nft_ruleset.h"

namespace fwu {
namespace {

const std::array<std::string, 4> kRouters{"192.168.123.254", "192.168.2.1", "192.168.0.1", "192.168.1.254"};

InterfaceFacts Link(const std::string& name, const std::string& address, bool wireless = false) {
  InterfaceFacts link;
  link.name = name;
  link.addresses.push_back({*ParseDottedIpv4(address), 24});
  link.up = link.carrier = link.broadcast = true;
  link.wireless = wireless;
  return link;
}

HostFacts Healthy() {
  HostFacts facts;
  facts.interfaces = {Link("eth0", "192.168.1.100")};
  facts.pingSockets = true;
  facts.port68Right = PortRight::Capability;
  facts.firewall.readable = true;
  return facts;
}

const HostCheck* Find(const std::vector<HostCheck>& checks, const std::string& textPart) {
  const auto found = std::find_if(checks.begin(), checks.end(),
                                  [&](const HostCheck& c) { return c.text.find(textPart) != std::string::npos; });
  return found == checks.end() ? nullptr : &*found;
}

TEST(HostChecks, FixesNameTheCabledLinkNotTheRadioInTheSystemsOwnCommands) {
  HostFacts facts = Healthy();
  facts.interfaces = {Link("wlan0", "10.0.0.5", true), Link("eth1", "192.168.1.100")};
  const auto checks = JudgeHost(facts, kRouters, "/usr/bin/fwupgrade-cli");
  const HostCheck* missing = Find(checks, "192.168.0.0/24");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->level, CheckLevel::Warn);
  EXPECT_EQ(missing->fix, "ip addr add 192.168.0.100/24 dev eth1");
  facts.windows = true;
  facts.interfaces[1].name = "Ethernet 2";
  EXPECT_EQ(Find(JudgeHost(facts, kRouters, "fwupgrade-cli.exe"), "192.168.0.0/24")->fix,
            "netsh interface ipv4 set address name=\"Ethernet 2\" static 192.168.0.100 255.255.255.0 "
            "(afterwards: netsh interface ipv4 set address name=\"Ethernet 2\" dhcp)");
  facts.firewall.enabled = true;
  EXPECT_EQ(Find(JudgeHost(facts, kRouters, "C:\\Tools\\fwupgrade-cli.exe"), "Windows Firewall is on")->fix,
            "from an administrator's prompt: netsh advfirewall firewall add rule name=\"fwupgrade\" dir=in "
            "action=allow program=\"C:\\Tools\\fwupgrade-cli.exe\"");
  const HostCheck* present = Find(checks, "192.168.1.254 is on eth1");
  ASSERT_NE(present, nullptr);
  EXPECT_EQ(present->level, CheckLevel::Ok);
  EXPECT_EQ(WorstLevel(checks), CheckLevel::Warn);
}

TEST(HostChecks, NoBroadcastLinkUpFailsAndARadioAloneWarns) {
  HostFacts facts = Healthy();
  facts.interfaces[0].up = false;
  EXPECT_EQ(WorstLevel(JudgeHost(facts, kRouters, "p")), CheckLevel::Fail);

  facts.interfaces = {Link("wlan0", "192.168.1.100", true)};
  const auto checks = JudgeHost(facts, kRouters, "p");
  ASSERT_NE(Find(checks, "only usable link is wireless"), nullptr);
  EXPECT_NE(WorstLevel(checks), CheckLevel::Fail);
}

TEST(HostChecks, PrivilegesAndPortsSayWhatToDo) {
  HostFacts facts = Healthy();
  facts.port68Right = PortRight::None;
  facts.port69 = {true, "in.tftpd (pid 42)"};
  facts.pingSockets = false;
  const auto checks = JudgeHost(facts, kRouters, "/opt/fw/fwupgrade-cli");
  const HostCheck* port68 = Find(checks, "port 68 cannot be bound");
  ASSERT_NE(port68, nullptr);
  EXPECT_EQ(port68->fix, "sudo setcap cap_net_bind_service=+ep /opt/fw/fwupgrade-cli");
  ASSERT_NE(Find(checks, "UDP port 69 is held by in.tftpd (pid 42)"), nullptr);
  ASSERT_NE(Find(checks, "UDP port 68 is free"), nullptr);
  EXPECT_EQ(WorstLevel(checks), CheckLevel::Fail);  // no ICMP echo at all

  facts.rawSockets = true;
  EXPECT_EQ(WorstLevel(JudgeHost(facts, kRouters, "p")), CheckLevel::Warn);
}

TEST(NftRuleset, InputPolicyAndRulesDecideWhatIsDropped) {
  struct Case {
    const char* ruleset;
    bool dropsUdp;
    bool dropsEcho;
  };
  const Case cases[] = {
      {"", false, false},
      {"table inet filter {\n\tchain input {\n\t\ttype filter hook input priority filter; policy drop;\n"
       "\t\tct state established,related accept\n\t}\n}\n",
       true, false},
      {"table inet filter {\n\tchain input {\n\t\ttype filter hook input priority filter; policy drop;\n"
       "\t\tmeta l4proto udp accept\n\t\ticmp type echo-reply accept\n\t}\n}\n",
       false, false},
      {"table inet filter {\n\tchain input {\n\t\ttype filter hook input priority filter; policy accept;\n"
       "\t\tudp dport 53 drop\n\t\tip protocol icmp icmp type echo-reply drop\n\t}\n}\n",
       false, true},
      {"table inet filter {\n\tchain output {\n\t\ttype filter hook output priority filter; policy drop;\n"
       "\t}\n\tchain input {\n\t\ttype filter hook input priority filter; policy accept;\n"
       "\t\tudp dport 68 reject\n\t}\n}\n",
       true, false},
  };
  for (const auto& c : cases) {
    const FirewallFacts facts = JudgeNftRuleset(c.ruleset);
    EXPECT_TRUE(facts.readable);
    EXPECT_EQ(facts.dropsUdp, c.dropsUdp) << c.ruleset;
    EXPECT_EQ(facts.dropsEchoReplies, c.dropsEcho) << c.ruleset;
  }
}

}  // namespace
}  // namespace fwu
