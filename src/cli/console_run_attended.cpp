// The attended console: what the window's user does with the mouse, asked
// on the terminal instead.
#include <iostream>

#include "cli/console_run.h"
#include "cli/router_list.h"
#include "platform/terminal.h"

namespace fwu {

namespace {

// After the router refused a password, it is asked again this many times.
constexpr int kPasswordRetries = 3;

bool PasswordRefused(const std::vector<MessageRequest>& shown, std::size_t from) {
  for (std::size_t i = from; i < shown.size(); ++i)
    if (shown[i].text.starts_with("Incorrect password")) return true;
  return false;
}

}  // namespace

std::vector<RouterChoice> ConsoleRun::RouterChoices() {
  std::vector<RouterChoice> choices;
  const auto& items = form_.Models().IPComBox.Items();
  if (form_.LogVisible()) {
    // With the log pane: every entry of the table, in the window's words.
    for (std::size_t i = 0; i < items.size(); ++i)
      choices.push_back({"  " + std::to_string(i + 1) + ") " + items[i], items[i]});
    return choices;
  }
  const auto routers = FoldedRouters(program_.Search().Table().Entries());
  const auto lines = RouterListLines(routers);
  for (std::size_t i = 0; i < routers.size(); ++i) choices.push_back({lines[i], routers[i].address});
  return choices;
}

bool ConsoleRun::AskForFileIfNoneKnown() {
  if (form_.FileListValid() != 0 || !form_.Models().UpdateFileName.Text().empty()) return true;
  const auto file = AskFirmwareFile(std::cin, std::cerr);
  if (!file) {
    if (endedBy_.empty()) facts_.fallbackReason = "no firmware file";
    return false;
  }
  dialogs_.AnswerNextChooser({*file});
  form_.BrowseClick();
  return true;
}

bool ConsoleRun::RunAttended() {
  const auto choices = RouterChoices();
  std::cerr << RouterCountText(FoldedRouters(program_.Search().Table().Entries()).size()) << '\n';
  if (!AskRouter(form_, choices, std::cin, std::cerr) || requests_.CheckNow()) return false;
  chosenAddress_ = form_.Models().IPComBox.Text();
  if (!AskForFileIfNoneKnown() || requests_.CheckNow()) return false;
  const bool hideTyping = IsTerminal(StandardStream::Input);
  for (int attempt = 0; attempt <= kPasswordRetries; ++attempt) {
    if (!AskPassword(form_, std::cin, std::cerr, hideTyping, attempt > 0) || requests_.CheckNow()) return false;
    if (!form_.Models().Upgrade.Enabled()) {
      facts_.fallbackReason = form_.Models().IPComBox.Text().empty()
                                  ? "no router was chosen"
                                  : "the router chosen cannot be upgraded (not found, or no echo)";
      return true;
    }
    messagesBefore_ = dialogs_.Shown().size();
    started_ = std::chrono::steady_clock::now();
    NoteFiles();
    form_.UpgradeClick();
    loop_.RunUntil([this] { return form_.Closed() || form_.Idle(); });
    if (form_.Closed() || !PasswordRefused(dialogs_.Shown(), messagesBefore_)) break;
  }
  return true;
}

}  // namespace fwu
