#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "notice/notice_display.h"
#include "ui/model_subscriptions.h"

namespace fwu {

class EventLoop;
class THintForm;

// The notice window on screen: the system's rich-text control (version
// 5.0, which reads every code page) filling the window, read-only, on the
// notice's background colour, blinking as the form says. The RTF goes in
// as the bundle carries it. The close control closes the form; the form
// closing itself hides the window.
class NoticeView {
 public:
  explicit NoticeView(THintForm& form);
  ~NoticeView();
  NoticeView(const NoticeView&) = delete;
  NoticeView& operator=(const NoticeView&) = delete;

  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Blinking clears the view and loads the document into it again, from
  // its first line.
  void ShowPhase();

  THintForm& form_;
  HWND window_ = nullptr;
  HWND text_ = nullptr;
  bool textShown_ = false;
  ModelSubscriptions subscriptions_;
};

// The colour a message file's BackColor names, system colours as the
// system has them.
COLORREF NoticeBackground(std::uint32_t backColor);

class Win32NoticeDisplay final : public NoticeDisplay {
 public:
  explicit Win32NoticeDisplay(EventLoop& loop) : loop_(loop) {}
  // The window the notice blocks while it is on screen, once there is one.
  void SetOwner(HWND owner) { owner_ = owner; }
  void ShowModal(THintForm& form) override;

 private:
  EventLoop& loop_;
  HWND owner_ = nullptr;
};

}  // namespace fwu
