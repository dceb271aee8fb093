#pragma once

#include <string>
#include <vector>

#include "doctor/host_checks.h"

namespace fwu {

// One line per check: its level, its area and what was seen, then the fix.
std::string HostReportText(const std::vector<HostCheck>& checks);

// The same checks and the interfaces they were judged on, as one object.
std::string HostReportJson(const HostFacts& facts, const std::vector<HostCheck>& checks);

}  // namespace fwu
