#include "notice/notice_window.h"

#include "notice/hint_form.h"
#include "notice/notice_display.h"

namespace fwu {

void NoticeWindow::Show(const MessageFile& notice) {
  THintForm form(loop_, notice);
  display_.ShowModal(form);
}

}  // namespace fwu
