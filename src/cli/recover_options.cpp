#include "cli/recover_options.h"

#include <charconv>

#include "platform/ipv4_address.h"

namespace fwu {

namespace {

constexpr int kMaxSeconds = 86400;

std::optional<int> Seconds(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || at != end || value < 1 || value > kMaxSeconds) return std::nullopt;
  return value;
}

}  // namespace

ParsedRecoverOptions ParseRecoverOptions(const std::vector<std::string>& words) {
  RecoverOptions options;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool takesValue = word == "--timeout" || word == "--verify-timeout" || word == "--only" || word == "--log";
    if (takesValue && i + 1 == words.size()) return {std::nullopt, word + " wants a value"};
    if (word == "--wait") {
      options.wait = true;
    } else if (word == "--all") {
      options.all = true;
    } else if (word == "--timeout" || word == "--verify-timeout") {
      const auto seconds = Seconds(words[++i]);
      if (!seconds) return {std::nullopt, word + " wants seconds from 1 to 86400"};
      if (word == "--timeout") options.timeoutSeconds = seconds;
      else options.verifySeconds = *seconds;
    } else if (word == "--only") {
      options.only = words[++i];
      if (!ParseDottedIpv4(*options.only)) return {std::nullopt, "--only wants a dotted IPv4 address"};
    } else if (word == "--log") {
      options.logFile = words[++i];
    } else if (word.size() > 1 && word[0] == '-') {
      return {std::nullopt, "unknown option " + word};
    } else if (options.file) {
      // The boot loader takes one image per recovery.
      return {std::nullopt, "one FILE per run"};
    } else {
      options.file = word;
    }
  }
  if (options.timeoutSeconds && !options.wait) return {std::nullopt, "--timeout needs --wait"};
  if (options.all && !options.wait) return {std::nullopt, "--all needs --wait"};
  return {std::move(options), {}};
}

}  // namespace fwu
