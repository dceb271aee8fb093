#include "notice/notice_presenter.h"

#include "notice/message_file.h"
#include "notice/notice_decision.h"

namespace fwu {

void NoticePresenter::Offer(const NoticeOffer& offer) {
  const std::optional<MessageFile> notice = MessageFile::Parse(offer.content);
  if (!notice) throw NoticeError("message file shorter than its header");
  if (ProcessMessageAttribute(*notice, offer.log, offer.attribute, offer.context, offer.selectedRomId, offer.path)) {
    Show(*notice);
  }
}

}  // namespace fwu
