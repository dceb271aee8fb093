#include "ui/timer.h"

namespace fwu {

Timer::Timer(EventLoop& loop, std::int64_t intervalMs, std::function<void()> onTimer)
    : loop_(loop), intervalMs_(intervalMs), onTimer_(std::move(onTimer)) {}

Timer::~Timer() { SetEnabled(false); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  if (enabled) {
    id_ = loop_.StartTimer(intervalMs_, [this] { onTimer_(); });
  } else {
    loop_.StopTimer(id_);
    id_ = 0;
  }
}

}  // namespace fwu
