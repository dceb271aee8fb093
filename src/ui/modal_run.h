#pragma once

#include "platform/event_loop.h"
#include "ui/modal_window_model.h"

namespace fwu {

// What every view does for a modal window once it is on screen: open it,
// activate it, and keep the loop turning until the window closes itself.
inline void RunModal(EventLoop& loop, ModalWindowModel& window) {
  window.Open();
  window.Activate();
  loop.RunUntil([&window] { return !window.IsOpen(); });
}

}  // namespace fwu
