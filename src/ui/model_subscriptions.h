#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "ui/observable.h"

namespace fwu {

// The subscriptions a view holds on core models, dropped with the view so
// that a model that outlives its widgets never calls into freed ones.
class ModelSubscriptions {
 public:
  ModelSubscriptions() = default;
  ~ModelSubscriptions() {
    for (const auto& [model, id] : subscriptions_) model->Unsubscribe(id);
  }
  ModelSubscriptions(const ModelSubscriptions&) = delete;
  ModelSubscriptions& operator=(const ModelSubscriptions&) = delete;

  // Draws once now, then on every change of the model.
  void Watch(Observable& model, const std::function<void()>& redraw) {
    subscriptions_.emplace_back(&model, model.Subscribe(redraw));
    redraw();
  }

 private:
  std::vector<std::pair<Observable*, int>> subscriptions_;
};

}  // namespace fwu
