#pragma once

#include <cstdint>
#include <functional>

namespace fwu {

// The one source of time and events for the core. The window thread of the
// original program had timers, socket notifications, re-entrant waits that
// kept handling messages, and modal windows; every one of them maps onto a
// member here, so the same core code runs under poll(2), under Qt and under
// virtual time in unit tests.
class EventLoop {
 public:
  using TimerId = int;
  using WatchId = int;
  enum class Interest { Readable, Writable };

  virtual ~EventLoop() = default;

  // Milliseconds on this loop's clock (real or virtual).
  virtual std::int64_t NowMs() const = 0;

  // Repeating timer; the first tick comes one interval after the start.
  virtual TimerId StartTimer(std::int64_t intervalMs, std::function<void()> onTick) = 0;
  virtual void StopTimer(TimerId id) = 0;

  // Calls onReady on the loop's thread while the descriptor is ready.
  virtual WatchId WatchFd(int fd, Interest interest, std::function<void()> onReady) = 0;
  virtual void Unwatch(WatchId id) = 0;

  // The only member that may be called from another thread.
  virtual void Post(std::function<void()> task) = 0;

  // Runs whatever is due now (posted tasks, due timers, ready descriptors)
  // without blocking: the re-entrant "process messages" of a busy wait.
  virtual void ProcessPending() = 0;

  // Waits ms milliseconds. With processEvents the loop keeps dispatching
  // meanwhile; without it nothing is dispatched, as in a wait that holds the
  // window thread.
  virtual void WaitMs(std::int64_t ms, bool processEvents) = 0;

  // Dispatches events until done() holds (a modal window's nested loop) or
  // Quit() was called.
  virtual void RunUntil(const std::function<bool()>& done) = 0;

  // Runs until Quit().
  void Run() { RunUntil([] { return false; }); }
  virtual void Quit() = 0;
  virtual bool QuitRequested() const = 0;
};

}  // namespace fwu
