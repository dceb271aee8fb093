#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ipv4_address.h"

namespace fwu {

// What this PC's set-up says about reaching routers, read from the system
// without sending anything. `doctor` judges it; nothing here decides.

struct InterfaceAddress {
  Ipv4 address = kAnyIpv4;
  int prefixLength = 0;
};

struct InterfaceFacts {
  std::string name;
  std::vector<InterfaceAddress> addresses;
  bool up = false;
  bool carrier = false;     // a cable or radio link is there
  bool broadcast = false;   // a LAN-wide datagram can leave by it
  bool wireless = false;
  std::string virtualKind;  // "bridge", "veth", "tun", "virtual"; empty for hardware
  bool defaultRoute = false;
};

// Who may bind a privileged port such as 68, the boot probe's source.
enum class PortRight { Administrator, Capability, EveryUser, None };

struct PortHolder {
  bool held = false;
  std::string process;  // as the system names it; empty when it will not say
};

struct FirewallFacts {
  bool readable = false;
  bool dropsUdp = false;        // incoming UDP dropped by default or by a rule
  bool dropsEchoReplies = false;
  bool enabled = false;         // Windows: on for the active profile
};

struct HostFacts {
  std::vector<InterfaceFacts> interfaces;  // every IPv4 interface but the loopback
  bool pingSockets = false;                // unprivileged ICMP echo
  bool rawSockets = false;
  std::string pingGroupRange;              // empty where the system has none
  PortRight port68Right = PortRight::None;
  PortHolder port68;
  PortHolder port69;
  FirewallFacts firewall;
  bool windows = false;        // ICMP by the system's service; no privileged ports
  bool administrator = false;  // Windows: an elevated administrator
};

HostFacts ReadHostFacts();

}  // namespace fwu
