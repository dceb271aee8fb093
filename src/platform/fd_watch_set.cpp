#include "platform/fd_watch_set.h"

#include <vector>

#include "platform/descriptor_wait.h"

namespace fwu {

int FdWatchSet::Add(int fd, EventLoop::Interest interest, std::function<void()> onReady) {
  const int id = nextId_++;
  watches_.emplace(id, Watch{fd, interest, std::move(onReady)});
  return id;
}

void FdWatchSet::Remove(int id) { watches_.erase(id); }

bool FdWatchSet::PollAndDispatch(int extraFd, int timeoutMs) {
  std::vector<DescriptorWait> set;
  std::vector<int> ids;
  for (const auto& [id, watch] : watches_) {
    set.push_back(DescriptorWait{watch.fd, watch.interest == EventLoop::Interest::Writable});
    ids.push_back(id);
  }
  if (extraFd >= 0) set.push_back(DescriptorWait{extraFd, false});
  if (!WaitForDescriptors(set, timeoutMs)) return false;  // time-out or interrupted: the caller loops again
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (!set[i].ready) continue;
    auto it = watches_.find(ids[i]);  // an earlier handler may have removed it
    if (it == watches_.end()) continue;
    auto onReady = it->second.onReady;
    onReady();
  }
  return extraFd >= 0 && set.back().ready;
}

}  // namespace fwu
