#include "platform/command_line.h"

namespace fwu {

namespace {

void AppendQuoted(const std::string& word, std::string& line) {
  if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
    line += word;
    return;
  }
  line += '"';
  std::size_t backslashes = 0;
  for (const char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled and the quote escaped; before
    // anything else they stand for themselves.
    line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    line += c;
    backslashes = 0;
  }
  // Doubled before the closing quote, so that they do not escape it.
  line.append(2 * backslashes, '\\');
  line += '"';
}

}  // namespace

std::string QuoteCommandLine(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& word : argv) {
    if (!line.empty()) line += ' ';
    AppendQuoted(word, line);
  }
  return line;
}

}  // namespace fwu
