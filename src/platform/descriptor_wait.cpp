#include "platform/descriptor_wait.h"

#include <poll.h>

namespace fwu {

bool WaitForDescriptors(std::vector<DescriptorWait>& set, int timeoutMs) {
  if (set.empty()) {
    if (timeoutMs > 0) poll(nullptr, 0, timeoutMs);
    return false;
  }
  std::vector<pollfd> fds;
  for (const auto& entry : set) {
    const short events = entry.writable ? POLLOUT : POLLIN;
    fds.push_back(pollfd{entry.fd, events, 0});
  }
  const int ready = poll(fds.data(), fds.size(), timeoutMs);
  if (ready <= 0) return false;
  for (std::size_t i = 0; i < set.size(); ++i) set[i].ready = fds[i].revents != 0;
  return true;
}

}  // namespace fwu
