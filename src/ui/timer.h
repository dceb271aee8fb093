#pragma once

#include <cstdint>
#include <functional>

#include "platform/event_loop.h"

namespace fwu {

// A window timer: a control with Enabled and Interval whose ticks come from
// the event loop. Disabling it drops any tick not yet delivered.
class Timer {
 public:
  Timer(EventLoop& loop, std::int64_t intervalMs, std::function<void()> onTimer);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return id_ != 0; }
  void SetEnabled(bool enabled);
  std::int64_t Interval() const { return intervalMs_; }

 private:
  EventLoop& loop_;
  std::int64_t intervalMs_;
  std::function<void()> onTimer_;
  EventLoop::TimerId id_ = 0;
};

}  // namespace fwu
