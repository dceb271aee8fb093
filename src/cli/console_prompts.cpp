#include "cli/console_prompts.h"

#include <string>

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

bool AskRouterAndPassword(TUpgradeForm1& form, std::istream& in, std::ostream& err) {
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
  } else {
    form.IPComBoxChange();
  }

  if (!models.PasswordComBox.Enabled()) return true;  // nothing to ask of this router
  if (!ReadAnswer(in, err, "Password: ", answer)) return false;
  if (!answer.empty() || !models.PasswordComBox.Text().empty()) {
    models.PasswordComBox.SetText(answer);
    form.PasswordComBoxChange();
  }
  return true;
}

}  // namespace fwu
