#pragma once

#include <vector>

namespace fwu {

struct DescriptorWait {
  int fd = -1;
  bool writable = false;  // wait to write, else to read
  bool ready = false;     // set by the wait: ready, or failed or hung up
};

// Waits up to timeoutMs (-1: no limit, 0: just look) until one of the
// descriptors is ready, and marks each one that is. An empty set sleeps
// for a positive time-out only. False on a time-out or an interrupted wait: the caller loops.
bool WaitForDescriptors(std::vector<DescriptorWait>& set, int timeoutMs);

}  // namespace fwu
