#pragma once

#include <cstdint>
#include <span>

#include "notice/styled_text.h"

namespace fwu {

// Reads a notice's RTF document into styled text: groups, control words and
// symbols, \'hh escapes (Western Windows code page), \uN with its \ucN
// fallback, the font and colour tables, bold, italic, underline, font size,
// text colour, paragraph breaks and alignment. Destinations it does not
// show (\* groups, pictures, style sheets, document information, field
// instructions) are skipped. Bytes that do not start an RTF document are
// read as plain text, one paragraph per line.
//
// Any bytes are accepted: the reader never reads past its input, keeps its
// group nesting bounded, and produces at most a few bytes of text for each
// byte read.
StyledText ReadRtf(std::span<const std::uint8_t> bytes);

}  // namespace fwu
