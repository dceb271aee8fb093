#pragma once

#include "app/application_control.h"
#include "platform/event_loop.h"

namespace fwu {

// Ending the program as every view does it: the loop the view runs stops
// once the current handler has returned.
class LoopQuitter final : public ApplicationControl {
 public:
  explicit LoopQuitter(EventLoop& loop) : loop_(loop) {}
  void Terminate() override { loop_.Quit(); }

 private:
  EventLoop& loop_;
};

}  // namespace fwu
