#pragma once

#include "cli/console_command.h"

namespace fwu {

// put, set and get: the command line the window takes.
int RunUpgradeProgram(const Arguments& arguments);
// FILE...: attended, with the user's own firmware files.
int RunAttendedWithFiles(const Arguments& files);

}  // namespace fwu
