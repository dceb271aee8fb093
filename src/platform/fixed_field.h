#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fwu {

// The text of a fixed-width field of single-byte characters: up to its
// first 0 byte, or the whole field when it has none, so that a damaged
// record can never make a read run past its field.
inline std::string FixedFieldText(const std::uint8_t* field, std::size_t width) {
  return std::string(field, std::find(field, field + width, 0));
}

}  // namespace fwu
