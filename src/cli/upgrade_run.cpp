#include "cli/upgrade_run.h"

#include "cli/console_run.h"

namespace fwu {

int RunUpgradeProgram(const Arguments& arguments) { return ConsoleRun(arguments, {}).Run(); }

int RunAttendedWithFiles(const Arguments& files) { return ConsoleRun({}, files).Run(); }

}  // namespace fwu
