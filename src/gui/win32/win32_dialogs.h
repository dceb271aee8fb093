#pragma once

#include <windows.h>

#include "ui/dialogs.h"

namespace fwu {

class EventLoop;

// The program's dialogs as Windows shows them: the system's message boxes
// (and our own where the button set has no system equivalent), the
// system's file chooser and the core's modal windows, each modal over the
// owner window.
class Win32Dialogs final : public Dialogs {
 public:
  explicit Win32Dialogs(EventLoop& loop) : loop_(loop) {}

  // The window the dialogs centre on and block; none before it exists.
  void SetOwner(HWND owner) { owner_ = owner; }

  DialogAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest& request) override;
  void ShowModal(ModalWindowModel& window) override;

 private:
  // The owner while it is on screen: a hidden owner would keep the box
  // off the task bar and out of reach.
  HWND VisibleOwner() const;

  EventLoop& loop_;
  HWND owner_ = nullptr;
};

}  // namespace fwu
