#include "platform/poll_event_loop.h"

#include <algorithm>
#include <cstdint>

#include "platform/clock.h"

namespace fwu {

PollEventLoop::PollEventLoop() = default;

PollEventLoop::~PollEventLoop() = default;

std::int64_t PollEventLoop::NowMs() const { return MonotonicMs(); }

EventLoop::TimerId PollEventLoop::StartTimer(std::int64_t intervalMs, std::function<void()> onTick) {
  return timers_.Add(NowMs(), intervalMs, std::move(onTick));
}

void PollEventLoop::StopTimer(TimerId id) { timers_.Remove(id); }

EventLoop::WatchId PollEventLoop::WatchFd(int fd, Interest interest, std::function<void()> onReady) {
  return watches_.Add(fd, interest, std::move(onReady));
}

void PollEventLoop::Unwatch(WatchId id) { watches_.Remove(id); }

void PollEventLoop::Post(std::function<void()> task) {
  tasks_.Push(std::move(task));
  wake_.Raise();
}

void PollEventLoop::DispatchOnce(std::int64_t maxWaitMs) {
  const bool ranTasks = tasks_.RunQueued();
  const bool firedTimers = timers_.FireDue(NowMs());
  // Whatever ran may have changed what the caller waits for: look again
  // before blocking.
  std::int64_t wait = ranTasks || firedTimers || !tasks_.Empty() ? 0 : maxWaitMs;
  if (auto due = timers_.NextDue()) {
    const std::int64_t untilTimer = std::max<std::int64_t>(*due - NowMs(), 0);
    wait = wait < 0 ? untilTimer : std::min(wait, untilTimer);
  }
  if (watches_.PollAndDispatch(wake_.Descriptor(), static_cast<int>(wait))) wake_.Drain();
}

void PollEventLoop::ProcessPending() { DispatchOnce(0); }

void PollEventLoop::WaitMs(std::int64_t ms, bool processEvents) {
  if (!processEvents) {
    SleepMs(ms);
    return;
  }
  const std::int64_t deadline = NowMs() + ms;
  for (std::int64_t left = ms; left > 0; left = deadline - NowMs()) DispatchOnce(left);
  ProcessPending();
}

void PollEventLoop::RunUntil(const std::function<bool()>& done) {
  while (!quit_ && !done()) DispatchOnce(-1);
}

void PollEventLoop::Quit() {
  quit_ = true;
  Post([] {});
}

}  // namespace fwu
