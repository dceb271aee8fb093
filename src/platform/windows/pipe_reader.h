#pragma once

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/wake_signal.h"

namespace fwu {

// The read end of an anonymous pipe, made watchable: Windows waits for
// sockets only, and an anonymous pipe can neither be waited for nor read
// without blocking. A thread blocks in ReadFile and hands the bytes over
// through a bounded buffer, raising a wake signal the loop watches; a full
// buffer holds the thread back, so a writer that is not read is held back
// as by a full pipe.
class PipeReader {
 public:
  // Takes the pipe; reading starts at once.
  explicit PipeReader(HANDLE pipe);
  // Waits for the thread, which ends with the pipe: the writer must be gone.
  ~PipeReader();
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;

  // -1 once Read has returned false.
  int Descriptor() const { return wake_ ? wake_->Descriptor() : -1; }
  // Appends what has arrived; false once the pipe has ended and all of it
  // was read. Only on the thread that watches the descriptor.
  bool Read(std::string& into);

 private:
  void Run();

  HANDLE pipe_;
  std::unique_ptr<WakeSignal> wake_;
  std::mutex mutex_;
  std::condition_variable room_;
  std::string pending_;
  bool ended_ = false;
  bool closing_ = false;
  std::thread thread_;
};

}  // namespace fwu
