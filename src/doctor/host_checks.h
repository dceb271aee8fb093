#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/host_facts.h"

namespace fwu {

enum class CheckLevel { Ok, Warn, Fail };

// One finding of `doctor`: what was seen and, when it stands in the way,
// the one thing to do about it.
struct HostCheck {
  std::string area;  // "interfaces", "subnets", "privileges", "ports", "firewall"
  CheckLevel level = CheckLevel::Ok;
  std::string text;
  std::string fix;   // empty when there is nothing to do
};

// Judges the facts read from this PC against what a search and a recovery
// need: a LAN link, an address on each default router's subnet, ICMP echo,
// the boot probe's port, nothing holding the probes' ports, and a firewall
// that lets the answers in. programPath goes into the setcap advice.
std::vector<HostCheck> JudgeHost(const HostFacts& facts, const std::array<std::string, 4>& routerAddresses,
                                 const std::string& programPath);

CheckLevel WorstLevel(const std::vector<HostCheck>& checks);
const char* LevelName(CheckLevel level);

}  // namespace fwu
