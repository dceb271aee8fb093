#pragma once

#include <ostream>

#include "platform/event_loop.h"
#include "ui/dialogs.h"

namespace fwu {

// Dialogs for a terminal: each box becomes one line on the error stream
// ("message: " + caption + ": " + text) and is answered with its default
// button, so an unattended run never stops to wait for a person.
class ConsoleDialogs final : public Dialogs {
 public:
  ConsoleDialogs(EventLoop& loop, std::ostream& err) : loop_(loop), err_(err) {}

  DialogAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest& request) override;
  void ShowModal(ModalWindowModel& window) override;

 private:
  EventLoop& loop_;
  std::ostream& err_;
};

}  // namespace fwu
