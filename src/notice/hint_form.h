#pragma once

#include <cstdint>
#include <string>

#include "notice/message_file.h"
#include "notice/styled_text.h"
#include "ui/modal_window_model.h"
#include "ui/timer.h"

namespace fwu {

class EventLoop;

// The notice window as a model: the message file's header, its formatted
// text, the countdown that closes the window after the display time and
// the blink that hides and shows the text. Both timers start at creation;
// a view shows the window modally (the caller waits in RunModal until it
// closes) and forwards the user's close control to UserClose().
//
// The countdown and the blink phase belong to the window, so a notice
// offered while another is on screen (a scan run by an event inside the
// first notice's modal loop) leaves the other's timing alone.
class THintForm final : public ModalWindowModel {
 public:
  static constexpr int kWidth = 500;
  static constexpr int kHeight = 300;
  static constexpr std::int64_t kCountdownMs = 100;
  static constexpr std::int64_t kBlinkMs = 500;

  THintForm(EventLoop& loop, MessageFile notice);

  // The header's caption, in the code page of the document it heads and
  // without control characters: it is shown as the window's title and on
  // the console.
  const std::string& Caption() const override { return caption_; }
  void Activate() override {}

  const MessageFile& Notice() const { return notice_; }
  const StyledText& Document() const { return document_; }
  std::uint32_t BackColor() const { return notice_.backColor; }
  // The blink phase: false while the view shows no text.
  bool TextVisible() const { return textVisible_; }
  bool CountdownRunning() const { return countdownTimer_.Enabled(); }
  bool BlinkRunning() const { return blinkTimer_.Enabled(); }

  // The window's close control; how it was closed is not used.
  void UserClose();

 private:
  void CountdownTimerTimer();
  void BlinkTimerTimer();
  void StopTimers();

  MessageFile notice_;
  StyledText document_;
  std::string caption_;
  std::uint16_t displayTime_;
  int countdown_;
  bool textVisible_ = true;
  Timer countdownTimer_;
  Timer blinkTimer_;
};

}  // namespace fwu
