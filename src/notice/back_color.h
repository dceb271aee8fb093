#pragma once

#include <cstdint>

#include "notice/styled_text.h"

namespace fwu {

// A message file's BackColor: either one of the system's colours, named by
// an index in the low byte of a value with 0x80 in its top byte
// (0x80000005 is the system's window background), or 0x00BBGGRR.
inline bool IsSystemColour(std::uint32_t backColor) { return (backColor >> 24) == 0x80; }
inline int SystemColourIndex(std::uint32_t backColor) { return static_cast<int>(backColor & 0xFF); }
inline TextColour ExplicitColour(std::uint32_t backColor) {
  return {static_cast<std::uint8_t>(backColor & 0xFF), static_cast<std::uint8_t>((backColor >> 8) & 0xFF),
          static_cast<std::uint8_t>((backColor >> 16) & 0xFF)};
}

}  // namespace fwu
