#include "cli/console_prompts.h"

#include <optional>
#include <string>

#include "platform/terminal.h"

namespace fwu {

namespace {

constexpr char kEnterKey = 13;

bool ReadAnswer(std::istream& in, std::ostream& err, const std::string& question, std::string& answer) {
  err << question << std::flush;
  if (!std::getline(in, answer)) return false;
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return true;
}

bool IsListNumber(const std::string& text, std::size_t count) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const std::size_t number = std::stoul(text);
  return number >= 1 && number <= count;
}

}  // namespace

bool AskRouterAndPassword(TUpgradeForm1& form, std::istream& in, std::ostream& err, bool hideTyping) {
  MainWindowModels& models = form.Models();
  const auto& items = models.IPComBox.Items();
  for (std::size_t i = 0; i < items.size(); ++i) err << "  " << (i + 1) << ") " << items[i] << '\n';

  std::string answer;
  if (!ReadAnswer(in, err, "Router (number or address) [" + models.IPComBox.Text() + "]: ", answer)) return false;
  if (IsListNumber(answer, items.size())) {
    models.IPComBox.SetText(items[std::stoul(answer) - 1]);
    form.IPComBoxChange();
  } else if (!answer.empty()) {
    // A typed address is searched on its own, as Enter in the list does.
    models.IPComBox.SetText(answer);
    form.IPComBoxKeyPress(kEnterKey);
  }
  // An empty answer keeps the router the start selected, and with it the
  // password it was given: selecting it again would put the default back.

  EditModel& password = models.PasswordComBox;
  if (!password.Enabled()) return true;  // nothing to ask of this router
  const std::string question = password.Text().empty() ? "Password: " : "Password [Enter keeps the one given]: ";
  {
    std::optional<HiddenTerminalInput> hidden;
    if (hideTyping) hidden.emplace();
    if (!ReadAnswer(in, err, question, answer)) return false;
  }
  if (answer.empty()) return true;
  // The window's box takes no more than this either.
  const auto limit = static_cast<std::size_t>(password.MaxLength());
  password.SetText(limit > 0 ? answer.substr(0, limit) : answer);
  form.PasswordComBoxChange();
  return true;
}

}  // namespace fwu
