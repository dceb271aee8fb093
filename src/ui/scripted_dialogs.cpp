#include "ui/scripted_dialogs.h"

#include "ui/modal_run.h"

namespace fwu {

DialogAnswer ScriptedDialogs::ShowMessage(const MessageRequest& request) {
  messages_.push_back(request);
  if (answers_.empty()) return DefaultAnswer(request.buttons);
  const DialogAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::vector<std::string>> ScriptedDialogs::ChooseFiles(const FileChooserRequest& request) {
  choosers_.push_back(request);
  if (files_.empty()) return std::nullopt;
  std::vector<std::string> files = std::move(files_.front());
  files_.pop_front();
  if (files.empty()) return std::nullopt;
  return files;
}

void ScriptedDialogs::ShowModal(ModalWindowModel& window) {
  modalCaptions_.push_back(window.Caption());
  RunModal(loop_, window);
}

}  // namespace fwu
