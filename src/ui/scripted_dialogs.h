#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace fwu {

class EventLoop;

// Test double: records every box and file chooser, answers as told (the
// box's default button when nothing is queued), and runs modal windows on
// the given loop.
class ScriptedDialogs final : public Dialogs {
 public:
  explicit ScriptedDialogs(EventLoop& loop) : loop_(loop) {}

  DialogAnswer ShowMessage(const MessageRequest& request) override;
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest& request) override;
  void ShowModal(ModalWindowModel& window) override;

  void QueueAnswer(DialogAnswer answer) { answers_.push_back(answer); }
  // An empty list stands for the user cancelling the chooser.
  void QueueFiles(std::vector<std::string> files) { files_.push_back(std::move(files)); }

  const std::vector<MessageRequest>& Messages() const { return messages_; }
  const std::vector<FileChooserRequest>& Choosers() const { return choosers_; }
  const std::vector<std::string>& ModalCaptions() const { return modalCaptions_; }

 private:
  EventLoop& loop_;
  std::deque<DialogAnswer> answers_;
  std::deque<std::vector<std::string>> files_;
  std::vector<MessageRequest> messages_;
  std::vector<FileChooserRequest> choosers_;
  std::vector<std::string> modalCaptions_;
};

}  // namespace fwu
