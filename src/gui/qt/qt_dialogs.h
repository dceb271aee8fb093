#pragma once

#include "ui/dialogs.h"

class QWidget;

namespace fwu {

class EventLoop;

// The program's dialogs as Qt shows them: message boxes, the file chooser
// and the core's modal windows, each modal over the owner window.
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(EventLoop& loop) : loop_(loop) {}

  // The window the dialogs centre on and block; none before it exists.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  DialogAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest& request) override;
  void ShowModal(ModalWindowModel& window) override;

 private:
  EventLoop& loop_;
  QWidget* owner_ = nullptr;
};

}  // namespace fwu
