#pragma once

namespace fwu {

// A descriptor that any thread can make readable, so that a loop blocked in
// its descriptor wait wakes up for posted work.
class WakeSignal {
 public:
  WakeSignal();
  ~WakeSignal();
  WakeSignal(const WakeSignal&) = delete;
  WakeSignal& operator=(const WakeSignal&) = delete;

  // What the loop waits on, beside its watched descriptors.
  int Descriptor() const { return fd_; }
  // Safe from any thread. Several raises before a drain wake the loop once.
  void Raise();
  // Makes the descriptor quiet again; only on the loop's thread.
  void Drain();

 private:
  int fd_ = -1;
};

}  // namespace fwu
