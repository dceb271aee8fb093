// fwupgrade-cli: the upgrade program on a terminal. Same command line as
// the window, plus the console's own commands (see console_command.cpp);
// the log pane goes to stdout, the status line and message boxes to stderr.
#include <exception>
#include <iostream>

#include "cli/console_command.h"
#include "cli/exit_status.h"
#include "platform/command_line.h"
#include "platform/console_streams.h"

int main(int argc, char** argv) {
  const fwu::UnicodeConsole console;
  const fwu::CommandLine commandLine = fwu::ReadCommandLine(argc, argv);
  if (!commandLine.failure.empty()) {
    std::cerr << "message: fwupgrade: " << commandLine.failure << std::endl;
    return fwu::exit_status::kBadUsage;
  }
  try {
    return fwu::RunConsoleCommand(commandLine.arguments, std::cerr);
  } catch (const std::exception& failure) {
    std::cerr << "message: fwupgrade: " << failure.what() << std::endl;
    return fwu::exit_status::kBadUsage;
  }
}
