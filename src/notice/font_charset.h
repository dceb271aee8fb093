#pragma once

#include <optional>

namespace fwu {

// The code page of an RTF font's character set (\fcharsetN), as Windows
// assigns it; nothing for the default and symbol sets and for numbers
// Windows does not know, whose bytes follow the document's code page.
std::optional<unsigned> CodePageOfCharset(int charset);

inline constexpr int kSymbolCharset = 2;

}  // namespace fwu
