// fwbundle: makes control files and message files, appends them with
// firmware images to the upgrade program, and lists or extracts bundles.
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "app/first_argument.h"
#include "commands.h"
#include "platform/command_line.h"
#include "tool_support.h"

namespace {

constexpr const char* kUsage =
    "usage: fwbundle <command> [options]   (fwbundle <command> --help for its options)\n"
    "  control  write a 224-byte control file\n"
    "  message  write a message file: 125-byte header and an RTF document\n"
    "  append   append control, upgrade and message files to a copy of the program\n"
    "  list     show the entries of a bundle\n"
    "  extract  write the entries of a bundle into a directory\n"
    "  --version  print the version and the build's commit and date\n"
    "  --help     print this help\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace fwu::tool;
  const std::map<std::string, int (*)(const std::vector<std::string>&)> commands{
      {"control", RunControl}, {"message", RunMessage}, {"append", RunAppend},
      {"list", RunList},       {"extract", RunExtract},
  };
  const fwu::CommandLine commandLine = fwu::ReadCommandLine(argc, argv);
  const std::vector<std::string>& args = commandLine.arguments;
  if (!commandLine.failure.empty()) {
    std::cerr << "fwbundle: " << commandLine.failure << "\n";
    return 2;
  }
  if (const auto status = fwu::AnswerFirstArgument("fwbundle", kUsage, args, std::cout, std::cerr)) return *status;
  if (args.empty() || args[0] == "-h") {
    std::cout << kUsage;
    return args.empty() ? 2 : 0;
  }
  const auto command = commands.find(args[0]);
  if (command == commands.end()) {
    std::cerr << "fwbundle: unknown command " << args[0] << "\n" << kUsage;
    return 2;
  }
  try {
    return command->second(std::vector<std::string>(args.begin() + 1, args.end()));
  } catch (const UsageError& error) {
    std::cerr << "fwbundle " << args[0] << ": " << error.what() << " (see fwbundle " << args[0] << " --help)\n";
    return 2;
  } catch (const ToolError& error) {
    std::cerr << "fwbundle " << args[0] << ": " << error.what() << "\n";
    return 1;
  }
}
