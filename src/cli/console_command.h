#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fwu {

// Everything on the command line after the program's name.
using Arguments = std::vector<std::string>;

// One way of starting fwupgrade-cli, chosen by its first argument. The
// usage and --help are made from these rows, and a row's check runs before
// its handler, so that a wrong command line never reaches the network.
// A new verb is one row in console_command.cpp plus its handler.
struct ConsoleCommand {
  // The first argument that chooses the row, compared in lower case. Empty
  // for the form whose arguments are all files (no argument at all too).
  std::string_view word;
  std::string_view synopsis;  // what follows the program's name
  std::string_view help;      // lines ending in '\n'
  // Why these arguments cannot work, in one line, or empty. Sends nothing.
  std::string (*check)(const Arguments& arguments);
  // Runs the command and returns the exit status.
  int (*run)(const Arguments& arguments);
};

std::span<const ConsoleCommand> ConsoleCommands();

// The row the first argument chooses; nullptr for an option no row knows.
const ConsoleCommand* ChooseCommand(const Arguments& arguments);

// The synopses, as a usage error shows them.
std::string UsageText();
// The usage, what each row does, and what the output and exit status mean.
std::string HelpText();

// Chooses the row, checks the arguments and runs it. A usage error is one
// line and the usage on err, and exit status 2.
int RunConsoleCommand(const Arguments& arguments, std::ostream& err);

}  // namespace fwu
