#pragma once

#include "cli/console_command.h"

namespace fwu {

// The console's row for `fleet`: its options are checked before anything
// is sent; `fleet --help` prints the verb's own usage.
std::string CheckFleetArguments(const Arguments& arguments);
int RunFleetCommand(const Arguments& arguments);

}  // namespace fwu
