#pragma once

#include "notice/notice_presenter.h"

namespace fwu {

// Takes every notice and shows none: the program's choice until a notice
// window is built. Offers still arrive at the right points of a run.
class HiddenNoticePresenter final : public NoticePresenter {
 public:
  void Offer(const NoticeOffer&) override {}
};

}  // namespace fwu
