#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace fwu {

// Repeating timers keyed by id, shared by the real and the virtual loop so
// that both fire timers by the same rules.
class TimerQueue {
 public:
  int Add(std::int64_t nowMs, std::int64_t intervalMs, std::function<void()> onTick);
  void Remove(int id);

  // Earliest due time of a timer that may fire now (not inside its own tick).
  std::optional<std::int64_t> NextDue() const;

  // Fires every timer due at nowMs once. A timer whose handler is still on
  // the stack (a re-entrant wait inside its own tick) is not fired again:
  // that would recurse without bound. True when a timer fired.
  bool FireDue(std::int64_t nowMs);

 private:
  struct Timer {
    std::int64_t intervalMs;
    std::int64_t dueMs;
    std::function<void()> onTick;
    bool running = false;
  };
  std::map<int, Timer> timers_;
  int nextId_ = 1;
};

}  // namespace fwu
