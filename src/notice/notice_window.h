#pragma once

#include "notice/notice_presenter.h"

namespace fwu {

class EventLoop;
class NoticeDisplay;

// The program's notice window: one THintForm per notice that applies,
// created on the calling (window) thread, shown by the view's display and
// freed when it has closed.
class NoticeWindow final : public NoticePresenter {
 public:
  NoticeWindow(EventLoop& loop, NoticeDisplay& display) : loop_(loop), display_(display) {}
  void Show(const MessageFile& notice) override;

 private:
  EventLoop& loop_;
  NoticeDisplay& display_;
};

}  // namespace fwu
