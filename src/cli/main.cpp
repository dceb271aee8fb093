// fwupgrade-cli: the upgrade program on a terminal. Same command line as
// the window, plus the console's own commands (see console_command.cpp);
// the log pane goes to stdout, the status line and message boxes to stderr.
#include <exception>
#include <iostream>

<<<<<<< HEAD
#include "app/loop_quitter.h"
#include "app/upgrade_program.h"
#include "cli/console_prompts.h"
#include "cli/console_view.h"
#include "fleet/fleet_options.h"
#include "fleet/fleet_run.h"
#include "notice/console_notice_display.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "platform/terminal.h"
#include "platform/termination_requests.h"
#include "ui/console_dialogs.h"

namespace {

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kBadStart = 2;

constexpr const char* kUsage = R"(usage: fwupgrade-cli [put|set ADDRESS PASSWORD ROMID [FILE] [log]]
       fwupgrade-cli get ADDRESS PASSWORD ROMID OFFSET LENGTH FILE
       fwupgrade-cli fleet [OPTIONS] [FILE]

Upgrades a router's firmware over the LAN with the files bundled in this
program (or FILE). Without arguments it searches the LAN, lists the routers
found and asks which one to upgrade and its password.

  put    upgrade ADDRESS at once, unattended; the program then ends
  set    preset ADDRESS, PASSWORD and ROMID, then ask
  fleet  upgrade every router on the LAN, several at once, and check each
         one comes back (see fwupgrade-cli fleet --help)
  get    save LENGTH bytes of the router's ROM data from OFFSET (decimal, or
         hexadecimal after 0x) into FILE, unattended
  null   in place of ADDRESS, PASSWORD or ROMID leaves it empty
  log    also show the detailed log

The log goes to stdout; the status line ("status: "), message boxes
("message: CAPTION: TEXT") and the bundle's notices ("notice: CAPTION", then
the text between two rules) go to stderr. Exit status: 0 success, 1 the
operation failed (also when Ctrl+C, SIGTERM or SIGHUP ended it), 2 bad
usage or a failed start.
)";

int Run(const std::vector<std::string>& arguments) {
  fwu::PollEventLoop loop;
  fwu::ConsoleDialogs dialogs(loop, std::cerr);
  fwu::ConsoleNoticeDisplay notices(loop, std::cerr);
  fwu::LoopQuitter application(loop);
  fwu::UpgradeProgram program(loop, dialogs, notices, application, arguments, fwu::ExecutablePath());
  fwu::TUpgradeForm1& form = program.Form();
  fwu::ConsoleView view(form.Models(), std::cout, std::cerr, fwu::IsTerminal(fwu::StandardStream::Error));
  // Before anything is extracted, so that no signal can leave the files behind.
  fwu::TerminationRequests requests(loop, [&form](const std::string& request) { form.EndOnRequest(request); });

  form.FormCreate();
  if (form.StartupFailed()) return kBadStart;
  requests.CheckNow();
  form.FormActivate();
  if (form.StartupFailed()) return kBadStart;  // the control file could not be read
  const auto modes = form.CurrentModes();
  const bool unattended = modes.autoRun || modes.get;
  const auto finished = [&form] { return form.Closed() || form.Idle(); };
  loop.RunUntil(finished);

  // Nothing started by itself: the user chooses, as in the window.
  if (!unattended && !form.Closed()) {
    const bool hideTyping = fwu::IsTerminal(fwu::StandardStream::Input);
    const bool answered = fwu::AskRouterAndPassword(form, std::cin, std::cerr, hideTyping);
    if (requests.CheckNow()) return kFailed;
    if (!answered) return kBadStart;
    if (form.Models().Upgrade.Enabled()) {
      form.UpgradeClick();
      loop.RunUntil(finished);
    }
  }
  const bool succeeded = form.Succeeded();
  if (!form.Closed()) form.ExitClick();
  return succeeded ? kSucceeded : kFailed;
}

}  // namespace
=======
#include "cli/console_command.h"
#include "cli/exit_status.h"
#include "platform/command_line.h"
#include "platform/console_streams.h"
>>>>>>> main

int main(int argc, char** argv) {
  const fwu::UnicodeConsole console;
  const fwu::CommandLine commandLine = fwu::ReadCommandLine(argc, argv);
  if (!commandLine.failure.empty()) {
    std::cerr << "message: fwupgrade: " << commandLine.failure << std::endl;
    return fwu::exit_status::kBadUsage;
  }
  try {
<<<<<<< HEAD
    if (!arguments.empty() && arguments[0] == "fleet") {
      const std::vector<std::string> words(arguments.begin() + 1, arguments.end());
      if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) {
        std::cout << fwu::FleetUsage();
        return kSucceeded;
      }
      return fwu::RunFleet(words, fwu::ExecutablePath(), std::cout, std::cerr);
    }
    return Run(arguments);
=======
    return fwu::RunConsoleCommand(commandLine.arguments, std::cerr);
>>>>>>> main
  } catch (const std::exception& failure) {
    std::cerr << "message: fwupgrade: " << failure.what() << std::endl;
    return fwu::exit_status::kBadUsage;
  }
}
