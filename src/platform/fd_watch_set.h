#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/event_loop.h"

namespace fwu {

// Descriptor watches of a loop and the wait that serves them.
class FdWatchSet {
 public:
  int Add(int fd, EventLoop::Interest interest, std::function<void()> onReady);
  void Remove(int id);
  bool Empty() const { return watches_.empty(); }

  // Waits for the watched descriptors and extraFd (a wake-up descriptor, or -1)
  // for at most timeoutMs (-1: no limit), then calls the handlers of the
  // ready ones. Returns true when extraFd became readable.
  bool PollAndDispatch(int extraFd, int timeoutMs);

 private:
  struct Watch {
    int fd;
    EventLoop::Interest interest;
    std::function<void()> onReady;
  };
  std::map<int, Watch> watches_;
  int nextId_ = 1;
};

}  // namespace fwu
