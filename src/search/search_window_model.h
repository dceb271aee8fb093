#pragma once

#include <functional>
#include <string>

#include "platform/event_loop.h"
#include "ui/controls.h"
#include "ui/modal_window_model.h"
#include "ui/timer.h"

namespace fwu {

// The small modal window shown while the LAN is searched. Its owner gives
// the handlers: what activation does and what Timer1's tick does.
class SearchWindowModel final : public ModalWindowModel {
 public:
  static constexpr std::int64_t kTimer1IntervalMs = 20;

  SearchWindowModel(EventLoop& loop, std::function<void()> formActivate, std::function<void()> timer1Timer);

  const std::string& Caption() const override { return caption_; }
  void Activate() override { formActivate_(); }

  LabelModel Label1{"Searching for installed device(s)"};
  LabelModel Label2{"Please Wait ..."};
  ProgressBarModel ProgressBar1;
  Timer Timer1;

 private:
  std::string caption_ = "Searching for installed device(s)...";
  std::function<void()> formActivate_;
};

}  // namespace fwu
