#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fwu {

class CodePage;

inline constexpr unsigned kWesternCodePage = 1252;

// Appends the code point as UTF-8; anything that is not a Unicode scalar
// value (a surrogate, or beyond U+10FFFF) becomes U+FFFD.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

// False for the control characters, C0, DEL and C1, that must never reach
// a view or a terminal.
inline bool IsShownCharacter(char32_t character) {
  return character >= 0x20 && (character < 0x7F || character > 0x9F);
}

// The code pages notices may be written in: the Windows ANSI and OEM code
// pages and the Macintosh Roman one, which every system decodes alike.
// Any other number falls back to the Western code page.
bool IsNoticeCodePage(unsigned number);

// The system's converter for a notice code page, else for the Western one.
const CodePage& NoticeCodePage(unsigned number);

// Bytes in a notice code page as UTF-8: two-byte characters joined, bytes
// without a character as U+FFFD, and control characters (line breaks
// included) left out, so that the text can stand on one line of a window
// or a terminal.
std::string DecodeLine(std::string_view bytes, unsigned codePage);

}  // namespace fwu
