#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/event_loop.h"

namespace fwu {

// How a worker thread reaches the window thread: window models and dialogs
// belong to the window thread, so the worker hands it tasks through the
// loop's Post and, where it needs an answer (a message box), waits for it.
// Once closed (the owner is going away) no task runs any more and waiting
// callers return at once, so a worker never waits on a window thread that
// is itself waiting for the worker to end.
class WindowThreadChannel {
 public:
  explicit WindowThreadChannel(EventLoop& loop) : loop_(loop) {}
  ~WindowThreadChannel() { Close(); }
  WindowThreadChannel(const WindowThreadChannel&) = delete;
  WindowThreadChannel& operator=(const WindowThreadChannel&) = delete;

  // Any thread: runs the task on the window thread later, unless closed.
  void Post(std::function<void()> task) {
    loop_.Post([state = state_, task = std::move(task)] {
      if (!state->IsClosed()) task();
    });
  }

  // Worker thread only: runs the task on the window thread and returns its
  // result, or whenClosed once the channel is closed.
  template <typename T>
  T Call(std::function<T()> task, T whenClosed) {
    auto result = std::make_shared<std::optional<T>>();
    loop_.Post([state = state_, result, task = std::move(task)] {
      if (state->IsClosed()) return;
      // Run unlocked: a message box runs a nested loop for as long as the
      // user takes.
      T value = task();
      {
        std::lock_guard lock(state->mutex);
        *result = std::move(value);
      }
      state->changed.notify_all();
    });
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return result->has_value() || state_->closed; });
    return result->has_value() ? std::move(**result) : whenClosed;
  }

  // Worker thread only: runs the task on the window thread and waits for it.
  void Call(std::function<void()> task) {
    Call<bool>(
        [task = std::move(task)] {
          task();
          return true;
        },
        false);
  }

  // Window thread: no task runs after this, and waiting callers go on.
  void Close() {
    {
      std::lock_guard lock(state_->mutex);
      state_->closed = true;
    }
    state_->changed.notify_all();
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
    bool IsClosed() {
      std::lock_guard lock(mutex);
      return closed;
    }
  };

  EventLoop& loop_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace fwu
