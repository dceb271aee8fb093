#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <atomic>
#include <map>
#include <memory>

#include "platform/event_loop.h"

namespace fwu {

// The core's event loop on top of Qt's: timers, descriptor watches, posted
// tasks and nested runs all go through the thread's Qt event dispatcher, so
// widgets keep painting and taking input while the core waits.
// Create it on the GUI thread after the QApplication.
class QtEventLoop final : public QObject, public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;

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

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  struct TimerEntry {
    int qtId;
    std::shared_ptr<std::function<void()>> onTick;
  };

  // Our own ids, never reused, so a stale StopTimer or Unwatch cannot hit a
  // timer or watch that was started later under a recycled Qt id.
  int nextId_ = 1;
  std::map<TimerId, TimerEntry> timers_;
  std::map<int, TimerId> timerByQtId_;
  std::map<WatchId, std::unique_ptr<QSocketNotifier, void (*)(QSocketNotifier*)>> watches_;
  std::atomic<bool> quit_{false};
};

}  // namespace fwu
