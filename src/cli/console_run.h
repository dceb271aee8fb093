#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/loop_quitter.h"
#include "app/upgrade_program.h"
#include "cli/console_command.h"
#include "cli/console_prompts.h"
#include "cli/console_view.h"
#include "cli/run_verdict.h"
#include "notice/console_notice_display.h"
#include "platform/poll_event_loop.h"
#include "platform/termination_requests.h"
#include "ui/console_dialogs.h"

namespace fwu {

// One run of the upgrade program on a terminal, from the start to the
// verdict line: unattended as the command line or the control file asks,
// else attended, with the questions a window would have put through its
// controls.
class ConsoleRun {
 public:
  // windowArguments: the command line the window would take (put, set, get
  // or none); files: the user's own firmware files, set as Browse would.
  ConsoleRun(const Arguments& windowArguments, std::vector<std::string> files);
  ConsoleRun(const ConsoleRun&) = delete;
  ConsoleRun& operator=(const ConsoleRun&) = delete;

  // The exit status.
  int Run();

 private:
  // The attended part: router, file and password asked, the password again
  // after a refusal. False when the input ended before an upgrade began.
  bool RunAttended();
  bool AskForFileIfNoneKnown();
  void RunUpgradeAttempt();
  std::vector<RouterChoice> RouterChoices();
  bool ShowsLog();
  void NoteFiles();
  int Finish();

  std::vector<std::string> files_;
  PollEventLoop loop_;
  ConsoleDialogs dialogs_;
  ConsoleNoticeDisplay notices_;
  LoopQuitter application_;
  UpgradeProgram program_;
  TUpgradeForm1& form_;
  ConsoleView view_;
  std::string endedBy_;
  TerminationRequests requests_;
  RunFacts facts_;
  // The router answered at the prompt, which the verdict names when the
  // run ends before Upgrade is pressed.
  std::string chosenAddress_;
  std::size_t messagesBefore_ = 0;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace fwu
