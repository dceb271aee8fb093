#pragma once

#include <functional>
#include <map>

namespace fwu {

// Base of every model: views subscribe and redraw from the model's state.
class Observable {
 public:
  using Callback = std::function<void()>;

  int Subscribe(Callback onChange) {
    const int id = nextId_++;
    observers_.emplace(id, std::move(onChange));
    return id;
  }
  void Unsubscribe(int id) { observers_.erase(id); }

 protected:
  Observable() = default;
  ~Observable() = default;
  Observable(const Observable&) = delete;
  Observable& operator=(const Observable&) = delete;

  void Notify() {
    // Copy: an observer may unsubscribe while being told.
    const auto observers = observers_;
    for (const auto& [id, callback] : observers) callback();
  }

 private:
  std::map<int, Callback> observers_;
  int nextId_ = 1;
};

}  // namespace fwu
