#pragma once

#include <functional>
#include <string>

#include "platform/event_loop.h"

namespace fwu {

// Requests from outside to end the program: Ctrl+C, a termination or a
// hang-up signal (on Windows, the console's control events). Where such a
// request arrives it is only recorded; the program hears of it on its
// loop's thread, so that it can end in order (the transfer stopped, the
// temporary files removed) instead of dying with them left behind.
//
// Once a request has arrived, standard input reads as ended, so that a
// prompt waiting for the user gives up, and blocking calls that it
// interrupts fail instead of resuming. A second request ends the program
// at once. A request the process was started to ignore (nohup) stays
// ignored. One object at a time per process.
class TerminationRequests {
 public:
  using Handler = std::function<void(const std::string& request)>;

  // onRequest runs once, on the loop's thread, with the request's name
  // ("SIGINT", "SIGTERM", "SIGHUP").
  TerminationRequests(EventLoop& loop, Handler onRequest);
  ~TerminationRequests();
  TerminationRequests(const TerminationRequests&) = delete;
  TerminationRequests& operator=(const TerminationRequests&) = delete;

  // For a view outside its loop (before it starts, after a prompt): runs
  // the handler now if a request came and it has not run yet. True once a
  // request has come.
  bool CheckNow();

 private:
  void Deliver();

  EventLoop& loop_;
  Handler onRequest_;
  EventLoop::WatchId watch_ = -1;
  bool delivered_ = false;
};

// Any thread, any time: a termination request has arrived. Blocking calls
// consult it when a signal interrupts them.
bool TerminationRequested();

}  // namespace fwu
