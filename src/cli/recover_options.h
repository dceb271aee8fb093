#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fwu {

// What `fwupgrade-cli recover` was asked, read from the words after the verb.
struct RecoverOptions {
  static constexpr int kDefaultVerifySeconds = 300;

  bool wait = false;
  std::optional<int> timeoutSeconds;  // of --wait; none: wait forever
  int verifySeconds = kDefaultVerifySeconds;
  bool all = false;
  std::optional<std::string> only;
  std::optional<std::string> logFile;
  std::optional<std::string> file;  // the firmware, instead of the bundle's
};

struct ParsedRecoverOptions {
  std::optional<RecoverOptions> options;
  std::string error;
};

// Reads the words after "recover"; nothing here touches the network.
ParsedRecoverOptions ParseRecoverOptions(const std::vector<std::string>& words);

}  // namespace fwu
