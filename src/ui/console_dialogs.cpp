#include "ui/console_dialogs.h"

#include "ui/modal_run.h"

namespace fwu {

DialogAnswer ConsoleDialogs::ShowMessage(const MessageRequest& request) {
  err_ << "message: " << request.caption << ": " << request.text << std::endl;
  return DefaultAnswer(request.buttons);
}

std::optional<std::vector<std::string>> ConsoleDialogs::ChooseFiles(const FileChooserRequest&) {
  // Files come from the command line in a terminal; there is no chooser.
  return std::nullopt;
}

void ConsoleDialogs::ShowModal(ModalWindowModel& window) { RunModal(loop_, window); }

}  // namespace fwu
