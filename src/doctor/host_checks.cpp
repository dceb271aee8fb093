#include "doctor/host_checks.h"

#include <algorithm>

namespace fwu {
namespace {

std::string AddressText(const InterfaceAddress& address) {
  return FormatDottedIpv4(address.address) + "/" + std::to_string(address.prefixLength);
}

bool Usable(const InterfaceFacts& link) { return link.up && link.broadcast; }

std::string Describe(const InterfaceFacts& link) {
  std::string text = link.name + ":";
  for (const auto& address : link.addresses) text += " " + AddressText(address);
  text += link.up ? ", up" : ", down";
  if (link.up) text += link.carrier ? ", carrier" : ", no carrier";
  if (link.wireless) text += ", wireless";
  if (!link.virtualKind.empty()) text += ", virtual (" + link.virtualKind + ")";
  if (link.defaultRoute) text += ", default route";
  return text;
}

// The link a technician most likely cabled to the router: wired, real and
// with a carrier, before anything else that is up.
const InterfaceFacts* LikelyRouterLink(const std::vector<InterfaceFacts>& links) {
  const auto wired = std::find_if(links.begin(), links.end(), [](const auto& l) {
    return Usable(l) && l.carrier && !l.wireless && l.virtualKind.empty();
  });
  if (wired != links.end()) return &*wired;
  const auto any = std::find_if(links.begin(), links.end(), Usable);
  if (any != links.end()) return &*any;
  return links.empty() ? nullptr : &links.front();
}

void JudgeInterfaces(const HostFacts& facts, std::vector<HostCheck>& checks) {
  for (const auto& link : facts.interfaces) {
    HostCheck check{"interfaces", CheckLevel::Ok, Describe(link), {}};
    if (link.virtualKind.empty() && !link.up) {
      check.level = CheckLevel::Warn;
      check.fix = "ip link set " + link.name + " up";
    } else if (link.virtualKind.empty() && !link.carrier) {
      check.level = CheckLevel::Warn;
      check.fix = "check the cable between " + link.name + " and the router";
    }
    checks.push_back(check);
  }
  const auto usable = std::count_if(facts.interfaces.begin(), facts.interfaces.end(), Usable);
  const auto wireless = std::count_if(facts.interfaces.begin(), facts.interfaces.end(),
                                      [](const auto& l) { return Usable(l) && l.wireless; });
  if (usable == 0) {
    checks.push_back({"interfaces", CheckLevel::Fail, "no interface with a broadcast address is up",
                      "cable the PC to the router's LAN and bring that interface up"});
  } else if (usable == wireless) {
    checks.push_back({"interfaces", CheckLevel::Warn, "the only usable link is wireless",
                      "cable the PC to the router: a crashed router has no radio"});
  }
}

bool OnSubnet(const InterfaceAddress& address, Ipv4 router) {
  const Ipv4 mask = address.prefixLength == 0 ? 0 : ~Ipv4{0} << (32 - address.prefixLength);
  return (address.address & mask) == (router & mask);
}

// The command that gives the PC an address on a router's subnet, in its
// system's own words. Windows adds no second address beside one from DHCP,
// so there the address takes the place of DHCP's until it is put back.
std::string AddressFix(const HostFacts& facts, const InterfaceFacts* link, const std::string& pcAddress) {
  if (facts.windows) {
    const std::string name = "name=\"" + (link ? link->name : std::string("Ethernet")) + "\"";
    return "netsh interface ipv4 set address " + name + " static " + pcAddress +
           " 255.255.255.0 (afterwards: netsh interface ipv4 set address " + name + " dhcp)";
  }
  return "ip addr add " + pcAddress + "/24 dev " + (link ? link->name : std::string("eth0"));
}

void JudgeSubnets(const HostFacts& facts, const std::array<std::string, 4>& routers, std::vector<HostCheck>& checks) {
  const InterfaceFacts* cabled = LikelyRouterLink(facts.interfaces);
  for (const auto& routerText : routers) {
    const auto router = ParseDottedIpv4(routerText);
    if (!router) continue;
    const std::string subnet = FormatDottedIpv4(*router & 0xFFFFFF00u) + "/24";
    std::string holder;
    for (const auto& link : facts.interfaces) {
      for (const auto& address : link.addresses) {
        if (Usable(link) && holder.empty() && OnSubnet(address, *router)) {
          holder = link.name + " (" + AddressText(address) + ")";
        }
      }
    }
    if (!holder.empty()) {
      checks.push_back({"subnets", CheckLevel::Ok, routerText + " is on " + holder, {}});
      continue;
    }
    const std::string pcAddress = FormatDottedIpv4((*router & 0xFFFFFF00u) | 100);
    checks.push_back({"subnets", CheckLevel::Warn,
                      "no interface has an address on " + subnet + ", where a router answers at " + routerText,
                      AddressFix(facts, cabled, pcAddress)});
  }
}

void JudgePrivileges(const HostFacts& facts, const std::string& programPath, std::vector<HostCheck>& checks) {
  if (facts.windows) {
    checks.push_back({"privileges", CheckLevel::Ok, "ICMP echo through the system's echo service", {}});
    checks.push_back({"privileges", CheckLevel::Ok,
                      facts.administrator ? "running as administrator"
                                          : "not running as administrator: searching and upgrading need no more",
                      {}});
  } else if (facts.pingSockets) {
    checks.push_back({"privileges", CheckLevel::Ok,
                      "ping sockets are allowed for this user (ping_group_range " + facts.pingGroupRange + ")", {}});
  } else if (facts.rawSockets) {
    checks.push_back({"privileges", CheckLevel::Ok, "ICMP echo by raw socket (root or CAP_NET_RAW)", {}});
  } else {
    checks.push_back({"privileges", CheckLevel::Fail,
                      "no ICMP echo for this user: the search cannot check any router's answer",
                      "sudo sysctl -w net.ipv4.ping_group_range=\"0 2147483647\""});
  }
  switch (facts.port68Right) {
    case PortRight::Administrator:
      checks.push_back({"privileges", CheckLevel::Ok, "port 68 can be bound: running as root", {}});
      break;
    case PortRight::Capability:
      checks.push_back({"privileges", CheckLevel::Ok, "port 68 can be bound: the program has cap_net_bind_service", {}});
      break;
    case PortRight::EveryUser:
      checks.push_back({"privileges", CheckLevel::Ok, "port 68 can be bound: the system lets every user", {}});
      break;
    case PortRight::None:
      checks.push_back({"privileges", CheckLevel::Warn,
                        "port 68 cannot be bound by this user: the search skips the boot probe",
                        "sudo setcap cap_net_bind_service=+ep " + programPath});
      break;
  }
}

void JudgePort(unsigned port, const PortHolder& holder, const char* harm, const char* fix,
               std::vector<HostCheck>& checks) {
  const std::string name = "UDP port " + std::to_string(port);
  if (!holder.held) {
    checks.push_back({"ports", CheckLevel::Ok, name + " is free", {}});
    return;
  }
  const std::string who = holder.process.empty() ? "another process" : holder.process;
  checks.push_back({"ports", CheckLevel::Warn, name + " is held by " + who + ": " + harm, fix});
}

void JudgeFirewall(const HostFacts& facts, const std::string& programPath, std::vector<HostCheck>& checks) {
  const FirewallFacts& wall = facts.firewall;
  if (facts.windows) {
    if (!wall.readable) {
      checks.push_back({"firewall", CheckLevel::Warn, "cannot read the Windows Firewall state", {}});
    } else if (wall.enabled) {
      checks.push_back({"firewall", CheckLevel::Warn,
                        "Windows Firewall is on for the active profile: it may drop the routers' answers",
                        "from an administrator's prompt: netsh advfirewall firewall add rule name=\"fwupgrade\" "
                        "dir=in action=allow program=\"" + programPath + "\""});
    } else {
      checks.push_back({"firewall", CheckLevel::Ok, "Windows Firewall is off for the active profile", {}});
    }
    return;
  }
  if (!wall.readable) {
    checks.push_back({"firewall", CheckLevel::Warn, "cannot read the firewall rules as this user",
                      "run doctor as root to check them"});
    return;
  }
  if (wall.dropsUdp) {
    checks.push_back({"firewall", CheckLevel::Warn,
                      "the firewall drops incoming UDP: search answers and TFTP acknowledgements are lost",
                      "accept UDP from the routers' subnet in the input chain, e.g. "
                      "nft insert rule inet filter input ip saddr 192.168.0.0/16 udp accept"});
  }
  if (wall.dropsEchoReplies) {
    checks.push_back({"firewall", CheckLevel::Warn,
                      "the firewall drops ICMP echo replies: every router found looks dead",
                      "accept ICMP echo replies in the input chain, e.g. "
                      "nft insert rule inet filter input icmp type echo-reply accept"});
  }
  if (!wall.dropsUdp && !wall.dropsEchoReplies) {
    checks.push_back({"firewall", CheckLevel::Ok, "the firewall lets UDP and ICMP echo replies in", {}});
  }
}

}  // namespace

std::vector<HostCheck> JudgeHost(const HostFacts& facts, const std::array<std::string, 4>& routerAddresses,
                                 const std::string& programPath) {
  std::vector<HostCheck> checks;
  JudgeInterfaces(facts, checks);
  JudgeSubnets(facts, routerAddresses, checks);
  JudgePrivileges(facts, programPath, checks);
  JudgePort(68, facts.port68, "the search skips the boot probe while it runs",
            "stop the DHCP client on the router's link while searching", checks);
  JudgePort(69, facts.port69, "a TFTP server on this PC may answer boot loaders that ask it for an image",
            "stop that TFTP server while recovering a router", checks);
  JudgeFirewall(facts, programPath, checks);
  return checks;
}

CheckLevel WorstLevel(const std::vector<HostCheck>& checks) {
  CheckLevel worst = CheckLevel::Ok;
  for (const auto& check : checks) worst = std::max(worst, check.level);
  return worst;
}

const char* LevelName(CheckLevel level) {
  switch (level) {
    case CheckLevel::Ok: return "OK";
    case CheckLevel::Warn: return "WARN";
    case CheckLevel::Fail: return "FAIL";
  }
  return "FAIL";
}

}  // namespace fwu
