#pragma once

#include <cstdint>
#include <string>

namespace fwu {

// Appends the code point as UTF-8; anything that is not a Unicode scalar
// value (a surrogate, or beyond U+10FFFF) becomes U+FFFD.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

// The Unicode character of one byte of the Western Windows code page, in
// which notices written without \u escapes are encoded. The five bytes
// that code page leaves unassigned map to U+FFFD.
std::uint32_t WindowsWesternToUnicode(std::uint8_t byte);

}  // namespace fwu
