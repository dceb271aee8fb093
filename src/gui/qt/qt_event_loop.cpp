#include "gui/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

#include "platform/clock.h"

namespace fwu {

namespace {

// A notifier may be dropped from inside its own signal (a watch that ends
// itself), so it is only switched off here and deleted once Qt is done.
void RetireNotifier(QSocketNotifier* notifier) {
  notifier->setEnabled(false);
  notifier->deleteLater();
}

}  // namespace

QtEventLoop::QtEventLoop() = default;

QtEventLoop::~QtEventLoop() {
  for (const auto& [id, entry] : timers_) killTimer(entry.qtId);
}

std::int64_t QtEventLoop::NowMs() const { return MonotonicMs(); }

EventLoop::TimerId QtEventLoop::StartTimer(std::int64_t intervalMs, std::function<void()> onTick) {
  // Precise: the core counts seconds with its 1 s timer and the coarse
  // timers' 5 % slack would add up over a long transfer.
  const int qtId = startTimer(std::chrono::milliseconds(intervalMs), Qt::PreciseTimer);
  const TimerId id = nextId_++;
  timers_.emplace(id, TimerEntry{qtId, std::make_shared<std::function<void()>>(std::move(onTick))});
  timerByQtId_.emplace(qtId, id);
  return id;
}

void QtEventLoop::StopTimer(TimerId id) {
  const auto found = timers_.find(id);
  if (found == timers_.end()) return;
  // Killing the Qt timer also drops a tick that is due but not delivered.
  killTimer(found->second.qtId);
  timerByQtId_.erase(found->second.qtId);
  timers_.erase(found);
}

void QtEventLoop::timerEvent(QTimerEvent* event) {
  const auto byQtId = timerByQtId_.find(event->timerId());
  if (byQtId == timerByQtId_.end()) return;
  // Hold the callback: the tick may stop its own timer.
  const auto onTick = timers_.at(byQtId->second).onTick;
  (*onTick)();
}

EventLoop::WatchId QtEventLoop::WatchFd(int fd, Interest interest, std::function<void()> onReady) {
  const auto type = interest == Interest::Readable ? QSocketNotifier::Read : QSocketNotifier::Write;
  auto* notifier = new QSocketNotifier(fd, type, this);
  connect(notifier, &QSocketNotifier::activated, this, [onReady = std::move(onReady)] { onReady(); });
  const WatchId id = nextId_++;
  watches_.emplace(id, std::unique_ptr<QSocketNotifier, void (*)(QSocketNotifier*)>(notifier, RetireNotifier));
  return id;
}

void QtEventLoop::Unwatch(WatchId id) { watches_.erase(id); }

void QtEventLoop::Post(std::function<void()> task) {
  // A queued call crosses threads safely and wakes a dispatcher that sleeps.
  QMetaObject::invokeMethod(this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtEventLoop::ProcessPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtEventLoop::WaitMs(std::int64_t ms, bool processEvents) {
  if (!processEvents) {
    SleepMs(ms);
    return;
  }
  const std::int64_t deadline = NowMs() + ms;
  // The single shot wakes the dispatcher at the deadline when nothing else
  // does.
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  wake.start(std::chrono::milliseconds(std::max<std::int64_t>(ms, 0)));
  while (NowMs() < deadline) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  ProcessPending();
}

void QtEventLoop::RunUntil(const std::function<bool()>& done) {
  // Every round handles at least one batch of events and sleeps while there
  // is none; done() can only change through an event, so checking it after
  // each round is enough.
  while (!quit_ && !done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventLoop::Quit() {
  quit_ = true;
  // Wake a loop that sleeps so that it sees the request.
  Post([] {});
}

}  // namespace fwu
