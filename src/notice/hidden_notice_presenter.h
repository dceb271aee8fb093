#pragma once

#include "notice/notice_presenter.h"

namespace fwu {

// Decides and logs as the program does, and shows nothing: for runs that
// time or test something else.
class HiddenNoticePresenter final : public NoticePresenter {
 public:
  void Show(const MessageFile&) override {}
};

}  // namespace fwu
