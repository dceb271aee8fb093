// Runs the console upgrader's own objects (same command line) with a probe
// timer on the window loop, and reports the longest time the window thread
// went without turning its loop while the HTTP worker sent files.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/loop_quitter.h"
#include "app/upgrade_program.h"
#include "notice/console_notice_display.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "ui/console_dialogs.h"

namespace {

constexpr std::int64_t kProbeMs = 10;
constexpr std::int16_t kHttpRunning = 121;

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  fwu::PollEventLoop loop;
  fwu::ConsoleDialogs dialogs(loop, std::cerr);
  fwu::ConsoleNoticeDisplay notices(loop, std::cerr);
  fwu::LoopQuitter application(loop);
  fwu::UpgradeProgram program(loop, dialogs, notices, application, arguments, fwu::ExecutablePath());
  fwu::TUpgradeForm1& form = program.Form();

  std::int64_t last = loop.NowMs();
  std::int64_t worstLateMs = 0;
  long ticksWhileSending = 0;
  loop.StartTimer(kProbeMs, [&] {
    const std::int64_t now = loop.NowMs();
    if (form.UpgradeState() == kHttpRunning) {
      worstLateMs = std::max(worstLateMs, now - last - kProbeMs);
      ++ticksWhileSending;
    }
    last = now;
  });

  form.FormCreate();
  if (form.StartupFailed()) return 2;
  form.FormActivate();
  loop.RunUntil([&] { return form.Closed() || form.Idle(); });
  std::cout << "upgrade " << (form.Succeeded() ? "succeeded" : "failed") << "\n"
            << "probe ticks while the worker sent: " << ticksWhileSending << "\n"
            << "longest stall of the window loop: " << worstLateMs << " ms (goal: at most 50)\n";
  return form.Succeeded() ? 0 : 1;
}
