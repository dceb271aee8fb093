#pragma once

#include "cli/console_command.h"

namespace fwu {

// doctor [--json]: what on this PC stands between it and the routers, one
// check a line with its fix; sends nothing. Exit status 1 when a check
// FAILs, else 0.
int RunDoctor(const Arguments& arguments);

}  // namespace fwu
