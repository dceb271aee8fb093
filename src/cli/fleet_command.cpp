#include "cli/fleet_command.h"

#include <iostream>

#include "cli/exit_status.h"
#include "fleet/fleet_options.h"
#include "fleet/fleet_run.h"
#include "platform/files.h"

namespace fwu {

namespace {

bool AsksForHelp(const Arguments& arguments) {
  return arguments.size() == 2 && (arguments[1] == "--help" || arguments[1] == "-h");
}

Arguments Options(const Arguments& arguments) { return Arguments(arguments.begin() + 1, arguments.end()); }

}  // namespace

std::string CheckFleetArguments(const Arguments& arguments) {
  if (AsksForHelp(arguments)) return {};
  const ParsedFleetOptions parsed = ParseFleetOptions(Options(arguments));
  return parsed.options ? std::string() : "fleet: " + parsed.error;
}

int RunFleetCommand(const Arguments& arguments) {
  if (AsksForHelp(arguments)) {
    std::cout << FleetUsage();
    return exit_status::kSucceeded;
  }
  return RunFleet(Options(arguments), ExecutablePath(), std::cout, std::cerr);
}

}  // namespace fwu
