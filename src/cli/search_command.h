#pragma once

#include "cli/console_command.h"

namespace fwu {

// search [--json]: the LAN searched as an attended start would, the routers
// found listed on stdout; exit status 0 when there were any, 1 when none.
int RunSearch(const Arguments& arguments);

}  // namespace fwu
