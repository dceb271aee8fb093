#include "cli/console_prompts.h"

#include <optional>
#include <string>

#include "cli/argument_checks.h"
#include "platform/terminal.h"

namespace fwu {

namespace {

constexpr char kEnterKey = 13;
constexpr int kFileAsks = 3;

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

bool AskRouter(TUpgradeForm1& form, const std::vector<RouterChoice>& choices, std::istream& in, std::ostream& err) {
  MainWindowModels& models = form.Models();
  for (const RouterChoice& choice : choices) err << choice.shown << '\n';
  std::string answer;
  if (!ReadAnswer(in, err, "Router (number or address) [" + models.IPComBox.Text() + "]: ", answer)) return false;
  if (IsListNumber(answer, choices.size())) {
    models.IPComBox.SetText(choices[std::stoul(answer) - 1].address);
    form.IPComBoxChange();
  } else if (!answer.empty()) {
    // A typed address is searched on its own, as Enter in the list does.
    models.IPComBox.SetText(answer);
    form.IPComBoxKeyPress(kEnterKey);
  }
  // An empty answer keeps the router the start selected, and with it the
  // password it was given: selecting it again would put the default back.
  return true;
}

std::optional<std::string> AskFirmwareFile(std::istream& in, std::ostream& err) {
  std::string answer;
  for (int ask = 0; ask < kFileAsks; ++ask) {
    if (!ReadAnswer(in, err, "Firmware file: ", answer)) return std::nullopt;
    if (answer.empty()) continue;
    const std::string reason = UnreadableFileReason(answer);
    if (reason.empty()) return answer;
    err << reason << '\n';
  }
  return std::nullopt;
}

bool AskPassword(TUpgradeForm1& form, std::istream& in, std::ostream& err, bool hideTyping, bool afterRefusal) {
  EditModel& password = form.Models().PasswordComBox;
  if (!password.Enabled()) return true;  // nothing to ask of this router
  std::string question = "Password: ";
  if (afterRefusal) question = "Password (refused, try again): ";
  else if (!password.Text().empty()) question = "Password [Enter keeps the one given]: ";
  std::string answer;
  {
    std::optional<HiddenTerminalInput> hidden;
    if (hideTyping) hidden.emplace();
    if (!ReadAnswer(in, err, question, answer)) return false;
  }
  if (answer.empty() && !afterRefusal) return true;
  password.SetText(answer);
  form.PasswordComBoxChange();
  return true;
}

}  // namespace fwu
