#pragma once

#include <cstdint>
#include <span>

#include "notice/styled_text.h"

namespace fwu {

// A notice that is not an RTF document: Western Windows text, one
// paragraph per line, without styles.
StyledText ReadPlainText(std::span<const std::uint8_t> bytes);

}  // namespace fwu
