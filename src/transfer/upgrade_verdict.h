#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fwu {

// What the router's reply to an upgrade POST means, with the texts that go
// to the log, to ResultText and (when it changes) to the status line.
struct UpgradeVerdict {
  int result = -1;
  std::string logLine;
  std::string resultText;
  std::optional<std::string> status;
};

UpgradeVerdict JudgeUpgradeReply(std::string_view reply);

// The message of a script call alert("...") in a reply: at most 23
// characters, ending before the closing quote, control characters shown
// as '?'.
std::string AlertMessage(std::string_view reply);

}  // namespace fwu
