#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace fwu {

// Case changes of single-byte text, independent of the locale: the words
// and names compared are ASCII, whatever the user's language.
inline std::string AsciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return text;
}

inline std::string AsciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  });
  return text;
}

}  // namespace fwu
