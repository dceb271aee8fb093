#pragma once

#include "platform/event_loop.h"
#include "platform/fd_watch_set.h"
#include "platform/task_queue.h"
#include "platform/timer_queue.h"

namespace fwu {

// Virtual-time loop for unit tests: time moves only when a test advances it
// or the code under test waits, so 20-second watchdogs run in microseconds.
// Descriptors are still polled, without waiting, so real loopback sockets
// work beside virtual timers.
class ManualEventLoop final : public EventLoop {
 public:
  std::int64_t NowMs() const override { return nowMs_; }
  TimerId StartTimer(std::int64_t intervalMs, std::function<void()> onTick) override;
  void StopTimer(TimerId id) override;
  WatchId WatchFd(int fd, Interest interest, std::function<void()> onReady) override;
  void Unwatch(WatchId id) override;
  void Post(std::function<void()> task) override;
  void ProcessPending() override;
  void WaitMs(std::int64_t ms, bool processEvents) override;
  // Runs until done() holds, jumping virtual time from timer to timer.
  // Returns (instead of hanging) when nothing is left that could change it.
  void RunUntil(const std::function<bool()>& done) override;
  void Quit() override { quit_ = true; }
  bool QuitRequested() const override { return quit_; }

  // Moves virtual time forward, firing each timer at its own due time.
  void AdvanceMs(std::int64_t ms);

 private:
  TimerQueue timers_;
  FdWatchSet watches_;
  TaskQueue tasks_;
  std::int64_t nowMs_ = 0;
  bool quit_ = false;
};

}  // namespace fwu
