#pragma once

#include <ostream>
#include <string>
#include <vector>

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

  // A terminal has no chooser: the files the user named on the command
  // line or at a prompt answer the next one, as if chosen there.
  void AnswerNextChooser(std::vector<std::string> files) { nextChosen_ = std::move(files); }
  // Every box shown so far, in order: the console's verdict names the one
  // that ended a run.
  const std::vector<MessageRequest>& Shown() const { return shown_; }

 private:
  EventLoop& loop_;
  std::ostream& err_;
  std::optional<std::vector<std::string>> nextChosen_;
  std::vector<MessageRequest> shown_;
};

}  // namespace fwu
