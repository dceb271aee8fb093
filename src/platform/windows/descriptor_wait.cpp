#include "platform/descriptor_wait.h"

#include "platform/windows/winsock.h"

namespace fwu {

// Only sockets can be waited for this way on Windows, which is all the
// loops watch.
bool WaitForDescriptors(std::vector<DescriptorWait>& set, int timeoutMs) {
  if (set.empty()) {
    if (timeoutMs > 0) Sleep(static_cast<DWORD>(timeoutMs));
    return false;
  }
  std::vector<WSAPOLLFD> fds;
  for (const auto& entry : set) {
    fds.push_back(WSAPOLLFD{ToSocket(entry.fd), static_cast<SHORT>(entry.writable ? POLLOUT : POLLIN), 0});
  }
  const int ready = WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
  if (ready <= 0) return false;
  for (std::size_t i = 0; i < set.size(); ++i) set[i].ready = fds[i].revents != 0;
  return true;
}

}  // namespace fwu
