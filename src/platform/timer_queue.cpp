#include "platform/timer_queue.h"

#include <algorithm>
#include <vector>

namespace fwu {

int TimerQueue::Add(std::int64_t nowMs, std::int64_t intervalMs, std::function<void()> onTick) {
  const int id = nextId_++;
  const std::int64_t interval = std::max<std::int64_t>(intervalMs, 1);
  timers_.emplace(id, Timer{interval, nowMs + interval, std::move(onTick)});
  return id;
}

void TimerQueue::Remove(int id) { timers_.erase(id); }

std::optional<std::int64_t> TimerQueue::NextDue() const {
  std::optional<std::int64_t> next;
  for (const auto& [id, timer] : timers_) {
    if (!timer.running && (!next || timer.dueMs < *next)) next = timer.dueMs;
  }
  return next;
}

bool TimerQueue::FireDue(std::int64_t nowMs) {
  std::vector<std::pair<std::int64_t, int>> due;
  for (const auto& [id, timer] : timers_) {
    if (!timer.running && timer.dueMs <= nowMs) due.emplace_back(timer.dueMs, id);
  }
  std::sort(due.begin(), due.end());
  for (const auto& [dueMs, id] : due) {
    auto it = timers_.find(id);
    if (it == timers_.end() || it->second.running) continue;  // stopped by an earlier handler
    Timer& timer = it->second;
    // A late tick does not queue up the ticks it missed, as window timers do.
    timer.dueMs = std::max(timer.dueMs + timer.intervalMs, nowMs + 1);
    timer.running = true;
    auto onTick = timer.onTick;  // the handler may stop (erase) its own timer
    onTick();
    if (auto again = timers_.find(id); again != timers_.end()) again->second.running = false;
  }
  return !due.empty();
}

}  // namespace fwu
