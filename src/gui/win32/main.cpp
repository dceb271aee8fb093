// fwupgrade.exe: the upgrade program's window on Windows. Same command line
// as fwupgrade-cli (put|set|get ADDRESS PASSWORD ROMID ...); the same exit
// status too, read from the core: 2 when the start fails, 1 when an
// unattended run failed or a request from outside ended it, else 0.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/exit_status.h"
#include "app/first_argument.h"
#include "app/loop_quitter.h"
#include "app/upgrade_program.h"
#include "gui/win32/main_window.h"
#include "gui/win32/notice_view.h"
#include "gui/win32/win32_dialogs.h"
#include "gui/win32/win32_event_loop.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/termination_requests.h"

namespace {

fwu::MessageRequest ExceptionMessage(const std::string& what) {
  return {what, fwu::kSystemDefaultCaption, fwu::ButtonSet::Ok, fwu::BoxKind::Error};
}

// A window program has no console of its own: --version and --help answer
// on the console it was started from, unless its output is redirected.
void ReachStartingConsole() {
  if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

int Run(fwu::Win32EventLoop& loop, fwu::Win32Dialogs& dialogs, const std::vector<std::string>& arguments) {
  fwu::LoopQuitter quitter(loop);
  fwu::Win32NoticeDisplay notices(loop);
  fwu::UpgradeProgram program(loop, dialogs, notices, quitter, arguments, fwu::ExecutablePath());
  fwu::TUpgradeForm1& form = program.Form();
  fwu::MainWindow window(form, loop);
  dialogs.SetOwner(window.Handle());
  notices.SetOwner(window.Handle());
  loop.SetExceptionBox([&dialogs](const std::string& what) { dialogs.ShowMessage(ExceptionMessage(what)); });

  // Before anything is extracted, so that no request can leave the files behind.
  fwu::TerminationRequests requests(loop, [&form](const std::string& request) { form.EndOnRequest(request); });

  form.FormCreate();
  if (form.StartupFailed()) return fwu::kExitBadStart;
  bool endedByRequest = requests.CheckNow();
  if (endedByRequest) return fwu::kExitFailed;
  // The first activation lays the window out for searching; doing it now
  // as well means the window appears at that size, centred.
  form.SetLayout(4);
  window.CentreOnScreen();
  window.Show();
  loop.RunUntil([&form] { return form.Closed(); });
  endedByRequest = requests.CheckNow();
  return fwu::ExitStatus(form, endedByRequest, fwu::RunDriver::WindowUser);
}

}  // namespace

int main(int argc, char** argv) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                                       ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  fwu::Win32EventLoop loop;
  fwu::Win32Dialogs dialogs(loop);
  // In UTF-8 from the whole wide command line: argv's code page cannot hold
  // every name.
  const fwu::CommandLine commandLine = fwu::ReadCommandLine(argc, argv);
  if (!commandLine.failure.empty()) {
    dialogs.ShowMessage(ExceptionMessage(commandLine.failure));
    return fwu::kExitBadStart;
  }
  const auto& arguments = commandLine.arguments;
  if (!arguments.empty() && arguments[0].starts_with("--")) ReachStartingConsole();
  if (const auto status = fwu::AnswerFirstArgument("fwupgrade", fwu::kWindowUsage, arguments, std::cout, std::cerr)) {
    return *status;
  }
  try {
    return Run(loop, dialogs, arguments);
  } catch (const std::exception& failure) {
    dialogs.SetOwner(nullptr);  // the window is gone by now
    dialogs.ShowMessage(ExceptionMessage(failure.what()));
    return fwu::kExitBadStart;
  }
}
