// fwupgrade: the upgrade program's window. Same command line as
// fwupgrade-cli (put|set|get ADDRESS PASSWORD ROMID ...), and the same exit
// status, read from the core: 2 when the start fails (the control file too
// cannot be read), 1 when an unattended run failed or Ctrl+C, SIGTERM or
// SIGHUP ended it, else 0 once the window has closed.
#include <QScreen>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/exit_status.h"
#include "app/first_argument.h"
#include "app/loop_quitter.h"
#include "app/upgrade_program.h"
#include "gui/qt/main_window.h"
#include "gui/qt/notice_view.h"
#include "gui/qt/qt_dialogs.h"
#include "gui/qt/qt_event_loop.h"
#include "gui/qt/upgrade_application.h"
#include "platform/files.h"
#include "platform/termination_requests.h"

namespace {

void CentreOnScreen(QWidget& window) {
  const QRect screen = window.screen()->availableGeometry();
  window.move(screen.center() - window.rect().center());
}

fwu::MessageRequest ExceptionMessage(const std::string& what) {
  return {what, fwu::kSystemDefaultCaption, fwu::ButtonSet::Ok, fwu::BoxKind::Error};
}

int Run(fwu::UpgradeApplication& application, fwu::QtEventLoop& loop, fwu::QtDialogs& dialogs,
        const std::vector<std::string>& arguments) {
  fwu::LoopQuitter quitter(loop);
  fwu::QtNoticeDisplay notices(loop);
  fwu::UpgradeProgram program(loop, dialogs, notices, quitter, arguments, fwu::ExecutablePath());
  fwu::TUpgradeForm1& form = program.Form();
  fwu::MainWindow window(form);
  dialogs.SetOwner(&window);
  application.SetExceptionBox([&dialogs](const std::string& what) { dialogs.ShowMessage(ExceptionMessage(what)); });

  // Before anything is extracted, so that no signal can leave the files behind.
  fwu::TerminationRequests requests(loop, [&form](const std::string& request) { form.EndOnRequest(request); });

  form.FormCreate();
  if (form.StartupFailed()) return fwu::kExitBadStart;
  if (requests.CheckNow()) return fwu::kExitFailed;
  // The first activation lays the window out for searching; doing it now
  // as well means the window appears at that size, centred, instead of at
  // full height and then shrinking off centre.
  form.SetLayout(4);
  CentreOnScreen(window);
  window.show();
  // The start-up dispatch waits for the first activation; ask for it, as a
  // desktop without a window manager activates nothing by itself.
  window.activateWindow();
  loop.RunUntil([&form] { return form.Closed(); });
  // The dispatch ends the start as failed when the control file cannot be read.
  return fwu::ExitStatus(form, requests.CheckNow(), fwu::RunDriver::WindowUser);
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they need no display.
  const std::vector<std::string> given(argv + 1, argv + argc);
  if (const auto status = fwu::AnswerFirstArgument("fwupgrade", fwu::kWindowUsage, given, std::cout, std::cerr)) return *status;
  fwu::UpgradeApplication application(argc, argv);
  // After the application object: Qt has taken its own options (-platform,
  // -style ...) out of argv by then.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  fwu::QtEventLoop loop;
  fwu::QtDialogs dialogs(loop);
  try {
    return Run(application, loop, dialogs, arguments);
  } catch (const std::exception& failure) {
    dialogs.SetOwner(nullptr);  // the window is gone by now
    dialogs.ShowMessage(ExceptionMessage(failure.what()));
    return fwu::kExitBadStart;
  }
}
