#include "platform/command_line.h"

namespace fwu {

CommandLine ReadCommandLine(int argc, char** argv) { return CommandLine{{argv + 1, argv + argc}, {}}; }

}  // namespace fwu
