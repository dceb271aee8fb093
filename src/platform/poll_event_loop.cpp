#include "platform/poll_event_loop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "platform/clock.h"

namespace fwu {

PollEventLoop::PollEventLoop() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (wakeFd_ < 0) throw std::runtime_error("eventfd failed");
}

PollEventLoop::~PollEventLoop() { close(wakeFd_); }

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
  const std::uint64_t one = 1;
  // A full counter already wakes the loop, so a failed write loses nothing.
  [[maybe_unused]] auto written = write(wakeFd_, &one, sizeof one);
}

void PollEventLoop::DrainWakeups() {
  std::uint64_t count = 0;
  [[maybe_unused]] auto got = read(wakeFd_, &count, sizeof count);
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
  if (watches_.PollAndDispatch(wakeFd_, static_cast<int>(wait))) DrainWakeups();
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
