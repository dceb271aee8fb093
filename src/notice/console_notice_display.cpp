#include "notice/console_notice_display.h"

#include <string>

#include "notice/hint_form.h"
#include "ui/modal_run.h"

namespace fwu {

namespace {

constexpr std::size_t kRuleWidth = 60;

}  // namespace

void ConsoleNoticeDisplay::ShowModal(THintForm& form) {
  const std::string rule(kRuleWidth, '-');
  err_ << "notice: " << form.Caption() << '\n' << rule << '\n' << form.Document().PlainText() << rule << std::endl;
  if (form.Notice().EffectiveDisplayTime() == 0) {
    form.UserClose();
    return;
  }
  RunModal(loop_, form);
}

}  // namespace fwu
