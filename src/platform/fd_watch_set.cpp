#include "platform/fd_watch_set.h"

#include <poll.h>

#include <cerrno>
#include <vector>

namespace fwu {

int FdWatchSet::Add(int fd, EventLoop::Interest interest, std::function<void()> onReady) {
  const int id = nextId_++;
  watches_.emplace(id, Watch{fd, interest, std::move(onReady)});
  return id;
}

void FdWatchSet::Remove(int id) { watches_.erase(id); }

bool FdWatchSet::PollAndDispatch(int extraFd, int timeoutMs) {
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const auto& [id, watch] : watches_) {
    const short events = watch.interest == EventLoop::Interest::Readable ? POLLIN : POLLOUT;
    fds.push_back(pollfd{watch.fd, events, 0});
    ids.push_back(id);
  }
  if (extraFd >= 0) fds.push_back(pollfd{extraFd, POLLIN, 0});
  if (fds.empty()) {
    if (timeoutMs > 0) poll(nullptr, 0, timeoutMs);
    return false;
  }
  const int ready = poll(fds.data(), fds.size(), timeoutMs);
  if (ready <= 0) return false;  // EINTR or time-out: the caller loops again
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (fds[i].revents == 0) continue;
    auto it = watches_.find(ids[i]);  // an earlier handler may have removed it
    if (it == watches_.end()) continue;
    auto onReady = it->second.onReady;
    onReady();
  }
  return extraFd >= 0 && (fds.back().revents & POLLIN) != 0;
}

}  // namespace fwu
