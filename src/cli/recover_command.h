#pragma once

#include "cli/console_command.h"

namespace fwu {

// The console's row for `recover`: a crashed router found by one search,
// or (--wait) the first boot loader to answer, recovered by TFTP and
// watched until it runs; with --all, one after another until Ctrl+C.
std::string CheckRecoverArguments(const Arguments& arguments);
int RunRecoverCommand(const Arguments& arguments);

}  // namespace fwu
