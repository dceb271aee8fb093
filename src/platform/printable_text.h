#pragma once

#include <string>
#include <string_view>

namespace fwu {

// Text that came from outside (a router's answer) made safe to show: every
// control character, escape and DEL included, becomes '?', so that no
// device can move a terminal's cursor, recolour it or break a list line.
inline std::string PrintableText(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return shown;
}

// A message of several lines on one: each run of line breaks becomes a blank.
inline std::string OneLine(std::string_view text) {
  std::string line;
  bool inBreak = false;
  for (const char c : text) {
    const bool lineBreak = c == '\r' || c == '\n';
    if (!lineBreak) line += c;
    else if (!inBreak) line += ' ';
    inBreak = lineBreak;
  }
  return line;
}

}  // namespace fwu
