#include "platform/manual_event_loop.h"

namespace fwu {

EventLoop::TimerId ManualEventLoop::StartTimer(std::int64_t intervalMs, std::function<void()> onTick) {
  return timers_.Add(nowMs_, intervalMs, std::move(onTick));
}

void ManualEventLoop::StopTimer(TimerId id) { timers_.Remove(id); }

EventLoop::WatchId ManualEventLoop::WatchFd(int fd, Interest interest, std::function<void()> onReady) {
  return watches_.Add(fd, interest, std::move(onReady));
}

void ManualEventLoop::Unwatch(WatchId id) { watches_.Remove(id); }

void ManualEventLoop::Post(std::function<void()> task) { tasks_.Push(std::move(task)); }

void ManualEventLoop::ProcessPending() {
  tasks_.RunQueued();
  timers_.FireDue(nowMs_);
  if (!watches_.Empty()) watches_.PollAndDispatch(-1, 0);
}

void ManualEventLoop::AdvanceMs(std::int64_t ms) {
  const std::int64_t target = nowMs_ + ms;
  ProcessPending();
  for (auto due = timers_.NextDue(); due && *due <= target && !quit_; due = timers_.NextDue()) {
    if (*due > nowMs_) nowMs_ = *due;
    ProcessPending();
  }
  nowMs_ = target;
  ProcessPending();
}

void ManualEventLoop::WaitMs(std::int64_t ms, bool processEvents) {
  if (processEvents) {
    AdvanceMs(ms);
  } else {
    nowMs_ += ms;
  }
}

void ManualEventLoop::RunUntil(const std::function<bool()>& done) {
  // Bounded so that a test whose condition never comes fails instead of hanging.
  for (int round = 0; round < 1000000 && !quit_; ++round) {
    ProcessPending();
    if (done()) return;
    if (!tasks_.Empty()) continue;
    if (auto due = timers_.NextDue()) {
      if (*due > nowMs_) nowMs_ = *due;
    } else if (!watches_.Empty()) {
      watches_.PollAndDispatch(-1, 10);
    } else {
      return;
    }
  }
}

}  // namespace fwu
