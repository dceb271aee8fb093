#include "notice/hint_form.h"

#include "notice/rtf_reader.h"
#include "notice/text_encoding.h"

namespace fwu {

THintForm::THintForm(EventLoop& loop, MessageFile notice)
    : notice_(std::move(notice)),
      document_(ReadRtf(std::span(reinterpret_cast<const std::uint8_t*>(notice_.rtf.data()), notice_.rtf.size()))),
      caption_(DecodeLine(notice_.messageCaption, document_.codePage)),
      displayTime_(notice_.EffectiveDisplayTime()),
      countdown_(displayTime_),
      countdownTimer_(loop, kCountdownMs, [this] { CountdownTimerTimer(); }),
      blinkTimer_(loop, kBlinkMs, [this] { BlinkTimerTimer(); }) {
  countdownTimer_.SetEnabled(true);
  blinkTimer_.SetEnabled(notice_.noBlink == 0);
}

void THintForm::UserClose() {
  StopTimers();
  Close();
}

// A display time of N closes the window on the (N + 1)-th tick. With no
// display time the first tick only stops the timers: the window stays
// until the user closes it, and never blinks.
void THintForm::CountdownTimerTimer() {
  const int taken = countdown_--;
  if (displayTime_ == 0) {
    StopTimers();
    return;
  }
  if (taken == 0) UserClose();
}

void THintForm::BlinkTimerTimer() {
  textVisible_ = !textVisible_;
  Notify();
}

void THintForm::StopTimers() {
  countdownTimer_.SetEnabled(false);
  blinkTimer_.SetEnabled(false);
}

}  // namespace fwu
