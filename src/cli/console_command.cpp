#include "cli/console_command.h"

#include <array>
#include <iostream>

#include "app/first_argument.h"
#include "cli/argument_checks.h"
#include "cli/doctor_command.h"
#include "cli/exit_status.h"
#include "cli/fleet_command.h"
#include "cli/recover_command.h"
#include "cli/search_command.h"
#include "cli/upgrade_run.h"
#include "platform/ascii_case.h"

namespace fwu {

namespace {

constexpr std::string_view kProgram = "fwupgrade-cli";

int PrintHelp(const Arguments&) {
  std::cout << HelpText();
  return exit_status::kSucceeded;
}

int PrintVersion(const Arguments&) {
  std::cout << VersionLine(std::string(kProgram)) << '\n';
  return exit_status::kSucceeded;
}

constexpr std::array kCommands{
    ConsoleCommand{"", "[FILE...]",
                   "Searches the LAN, lists the routers found, asks which one to upgrade and its\n"
                   "password (again, up to three times, when the router refuses it), then\n"
                   "upgrades it with the FILEs, else with the files bundled in this program;\n"
                   "with neither it asks for a file.\n",
                   CheckFileArguments, RunAttendedWithFiles},
    ConsoleCommand{"put", "put ADDRESS PASSWORD ROMID [FILE] [log]",
                   "Upgrades ADDRESS at once, unattended, with FILE or the bundled files; then\n"
                   "the program ends.\n",
                   CheckPresetArguments, RunUpgradeProgram},
    ConsoleCommand{"set", "set ADDRESS PASSWORD ROMID [FILE] [log]",
                   "Presets ADDRESS, PASSWORD and ROMID (and FILE), then asks as without\n"
                   "arguments.\n",
                   CheckPresetArguments, RunUpgradeProgram},
    ConsoleCommand{"get", "get ADDRESS PASSWORD ROMID OFFSET LENGTH FILE",
                   "Saves LENGTH bytes of the router's ROM data from OFFSET (decimal, or\n"
                   "hexadecimal after 0x) into FILE (at most 31 characters), unattended.\n",
                   CheckRomArguments, RunUpgradeProgram},
    ConsoleCommand{"search", "search [--json]",
                   "Searches the LAN and lists the routers found, one line each (with --json,\n"
                   "an array of {address, kind, status, rom_id, info}); exit status 0 when it\n"
                   "found any, 1 when none.\n",
                   CheckJsonOption, RunSearch},
    ConsoleCommand{"doctor", "doctor [--json]",
                   "Checks what on this PC stands between it and the routers: its links and\n"
                   "their subnets, ICMP echo, the boot probe's port 68, ports 68 and 69 held by\n"
                   "other programs, and the firewall. One line per check, OK, WARN or FAIL,\n"
                   "each with its fix (with --json, one object); sends nothing. Exit status 1\n"
                   "when a check FAILs, else 0.\n",
                   CheckJsonOption, RunDoctor},
    ConsoleCommand{"fleet", "fleet [OPTIONS] [FILE]",
                   "Upgrades every router one search finds, several at once, each in a process\n"
                   "of its own, and checks that each comes back; prints the plan, then a\n"
                   "summary (see fwupgrade-cli fleet --help for the options).\n",
                   CheckFleetArguments, RunFleetCommand},
    ConsoleCommand{"recover",
                   "recover [--wait [--timeout S] [--all]] [--verify-timeout S] [--only ADDR] [--log FILE] [FILE]",
                   "Recovers a crashed router by TFTP with FILE or the bundled files, then\n"
                   "waits up to --verify-timeout seconds (300) for it to answer as running:\n"
                   "\"recovered and running\" (exit status 0) or \"recovered, not seen running\"\n"
                   "(1). Without --wait, one search: with several crashed routers found it\n"
                   "names them and exits 2 unless --only ADDR picks one. With --wait, it sends\n"
                   "the recovery probe out of every interface once a second until a boot\n"
                   "loader answers (power the router on then), for --timeout seconds (exit\n"
                   "status 1) or for ever. --all goes back to waiting after each router until\n"
                   "Ctrl+C, then prints a summary; --log FILE appends the fleet's JSON Lines.\n",
                   CheckRecoverArguments, RunRecoverCommand},
    ConsoleCommand{"--help", "--help", "Shows this text.\n", CheckNoMoreArguments, PrintHelp},
    ConsoleCommand{"--version", "--version", "Shows the program's version, commit and build date.\n",
                   CheckNoMoreArguments, PrintVersion},
};

constexpr std::string_view kArgumentNotes =
    "In put, set and get, \"null\" in place of ADDRESS, PASSWORD or ROMID leaves it\n"
    "empty, and \"log\" shows the detailed log. Only the first argument is read\n"
    "as a command or an option; a password may well begin with \"--\".\n";

constexpr std::string_view kOutputNotes =
    "The log goes to stdout; the status line (\"status: \"), message boxes\n"
    "(\"message: CAPTION: TEXT\") and the bundle's notices (\"notice: CAPTION\",\n"
    "then the text between two rules) go to stderr.\n"
    "\n"
    "Exit status: 0 success, 1 the operation failed (also when Ctrl+C, SIGTERM\n"
    "or SIGHUP ended it), 2 bad usage or a failed start.\n";

std::string Indented(std::string_view lines) {
  std::string indented;
  std::size_t start = 0;
  while (start < lines.size()) {
    const std::size_t end = lines.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? lines.size() : end + 1;
    indented += "    ";
    indented += lines.substr(start, next - start);
    start = next;
  }
  return indented;
}

std::string RowWithProgram(const ConsoleCommand& command) {
  return std::string(kProgram) + ' ' + std::string(command.synopsis);
}

}  // namespace

std::span<const ConsoleCommand> ConsoleCommands() { return kCommands; }

const ConsoleCommand* ChooseCommand(const Arguments& arguments) {
  const ConsoleCommand* fileForm = nullptr;
  const std::string first = arguments.empty() ? std::string() : AsciiLower(arguments[0]);
  for (const ConsoleCommand& command : kCommands) {
    if (command.word.empty()) fileForm = &command;
    if (!first.empty() && command.word == first) return &command;
  }
  // An option this program does not know is a mistake, never a file name.
  if (first.starts_with("--")) return nullptr;
  return fileForm;
}

std::string UsageText() {
  std::string usage;
  for (const ConsoleCommand& command : kCommands)
    usage += (usage.empty() ? "usage: " : "       ") + RowWithProgram(command) + '\n';
  return usage;
}

std::string HelpText() {
  std::string help = UsageText() + "\nUpgrades a router's firmware over the LAN.\n\n";
  for (const ConsoleCommand& command : kCommands) help += RowWithProgram(command) + '\n' + Indented(command.help) + '\n';
  return help + std::string(kArgumentNotes) + '\n' + std::string(kOutputNotes);
}

int RunConsoleCommand(const Arguments& arguments, std::ostream& err) {
  const ConsoleCommand* command = ChooseCommand(arguments);
  const std::string reason = command == nullptr ? "unknown option " + arguments[0] : command->check(arguments);
  if (!reason.empty()) {
    err << kProgram << ": " << reason << '\n' << UsageText() << "Try '" << kProgram << " --help' for more.\n";
    return exit_status::kBadUsage;
  }
  return command->run(arguments);
}

}  // namespace fwu
