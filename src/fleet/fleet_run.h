#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bundle/initial_setting.h"
#include "platform/event_loop.h"
#include "search/device_search.h"

namespace fwu {

// One search of the LAN, by the bundle's control file when it has one: the
// table's entries.
std::vector<DeviceEntry> SearchLan(EventLoop& loop, const std::optional<InitialSetting>& control);

// `fwupgrade-cli fleet WORDS...`: one search, the plan on stdout, every
// router of the plan upgraded in a process of its own (several at once),
// each checked until it answers again, the summary on stdout. Returns the
// exit status: 0 all verified, 1 anything else, 2 bad usage or a failed
// start. programPath is the single-router program each router's steps run.
int RunFleet(const std::vector<std::string>& words, const std::string& programPath, std::ostream& out,
             std::ostream& err);

}  // namespace fwu
