#pragma once

#include <ostream>

#include "notice/notice_display.h"

namespace fwu {

class EventLoop;

// The notice window on a terminal: the caption, then the notice's text
// between two rule lines on the error stream, beside the message boxes.
// The run then waits for the display time, with the loop turning, as it
// would wait for the window to close itself. A notice without a display
// time is not waited for: a terminal has no close control, and an
// unattended run must not stop for nobody.
class ConsoleNoticeDisplay final : public NoticeDisplay {
 public:
  ConsoleNoticeDisplay(EventLoop& loop, std::ostream& err) : loop_(loop), err_(err) {}
  void ShowModal(THintForm& form) override;

 private:
  EventLoop& loop_;
  std::ostream& err_;
};

}  // namespace fwu
