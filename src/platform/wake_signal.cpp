#include "platform/wake_signal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace fwu {

WakeSignal::WakeSignal() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (fd_ < 0) throw std::runtime_error("eventfd failed");
}

WakeSignal::~WakeSignal() { close(fd_); }

void WakeSignal::Raise() {
  const std::uint64_t one = 1;
  // A full counter already wakes the loop, so a failed write loses nothing.
  [[maybe_unused]] auto written = write(fd_, &one, sizeof one);
}

void WakeSignal::Drain() {
  std::uint64_t count = 0;
  [[maybe_unused]] auto got = read(fd_, &count, sizeof count);
}

}  // namespace fwu
