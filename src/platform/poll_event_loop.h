#pragma once

#include <atomic>

#include "platform/event_loop.h"
#include "platform/fd_watch_set.h"
#include "platform/task_queue.h"
#include "platform/timer_queue.h"
#include "platform/wake_signal.h"

namespace fwu {

// Real-time loop over the system's descriptor wait: the console view's window thread, routersim
// and the integration tests run on it.
class PollEventLoop final : public EventLoop {
 public:
  PollEventLoop();
  ~PollEventLoop() override;
  PollEventLoop(const PollEventLoop&) = delete;
  PollEventLoop& operator=(const PollEventLoop&) = delete;

  std::int64_t NowMs() const override;
  TimerId StartTimer(std::int64_t intervalMs, std::function<void()> onTick) override;
  void StopTimer(TimerId id) override;
  WatchId WatchFd(int fd, Interest interest, std::function<void()> onReady) override;
  void Unwatch(WatchId id) override;
  void Post(std::function<void()> task) override;
  void ProcessPending() override;
  void WaitMs(std::int64_t ms, bool processEvents) override;
  void RunUntil(const std::function<bool()>& done) override;
  void Quit() override;
  bool QuitRequested() const override { return quit_; }

 private:
  // One round: posted tasks, due timers, then descriptors for up to
  // maxWaitMs (shortened to the next timer).
  void DispatchOnce(std::int64_t maxWaitMs);

  TimerQueue timers_;
  FdWatchSet watches_;
  TaskQueue tasks_;
  WakeSignal wake_;
  std::atomic<bool> quit_{false};
};

}  // namespace fwu
