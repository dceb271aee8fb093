#include "platform/task_queue.h"

namespace fwu {

void TaskQueue::Push(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
}

bool TaskQueue::Empty() const {
  std::lock_guard lock(mutex_);
  return tasks_.empty();
}

bool TaskQueue::RunQueued() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(tasks_);
  }
  for (auto& task : batch) task();
  return !batch.empty();
}

}  // namespace fwu
