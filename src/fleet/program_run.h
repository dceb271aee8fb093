#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fleet/session_output.h"
#include "platform/child_process.h"
#include "platform/event_loop.h"

namespace fwu {

// One run of the single-router program in a process of its own, watched
// from the loop: its console lines come back as SessionLines, its end as
// the exit status. Whatever the program does (stall, crash, get killed),
// only this run ends.
class ProgramRun {
 public:
  using Ended = std::function<void(int exitStatus)>;

  ProgramRun(EventLoop& loop, SessionOutput::Sink lines, Ended ended);
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // False, with the reason, when the program could not be started; ended
  // is then never called.
  bool Start(const ChildProcess::Launch& launch, std::string& error);
  // Asks the program to end in order, as Ctrl+C would.
  void RequestEnd() { child_.RequestEnd(); }
  // Ends it at once: for a program that does not end when asked.
  void Kill() { child_.Kill(); }

 private:
  void Drain(ChildProcess::Stream stream);
  void WatchForExit();
  void Unwatch();

  EventLoop& loop_;
  SessionOutput output_;
  Ended ended_;
  ChildProcess child_;
  std::vector<EventLoop::WatchId> watches_;
  int open_ = 0;
  std::optional<EventLoop::TimerId> exitTimer_;
};

}  // namespace fwu
