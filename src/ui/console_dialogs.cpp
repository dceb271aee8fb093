#include "ui/console_dialogs.h"

#include "ui/modal_run.h"

namespace fwu {

DialogAnswer ConsoleDialogs::ShowMessage(const MessageRequest& request) {
  err_ << "message: " << request.caption << ": " << request.text << std::endl;
  shown_.push_back(request);
  return DefaultAnswer(request.buttons);
}

std::optional<std::vector<std::string>> ConsoleDialogs::ChooseFiles(const FileChooserRequest&) {
  auto chosen = std::move(nextChosen_);
  nextChosen_.reset();
  return chosen;
}

void ConsoleDialogs::ShowModal(ModalWindowModel& window) { RunModal(loop_, window); }

}  // namespace fwu
