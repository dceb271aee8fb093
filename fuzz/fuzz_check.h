#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// A property every input must keep. Breaking it is a finding like a crash:
// the engine sees the abort and saves the input.
#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

namespace fuzz {

// What the program shows (log pane, status line, message boxes, a
// terminal) holds no control character, whatever a router sent.
inline bool Printable(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace fuzz
