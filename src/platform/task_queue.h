#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace fwu {

// Tasks posted from any thread, run on the loop's thread in posting order.
class TaskQueue {
 public:
  void Push(std::function<void()> task);
  bool Empty() const;
  // Runs the tasks queued when the call starts; tasks they post wait for
  // the next round so that a task re-posting itself cannot starve the loop.
  // True when a task ran.
  bool RunQueued();

 private:
  mutable std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace fwu
