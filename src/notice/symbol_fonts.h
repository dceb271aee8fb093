#pragma once

#include <cstdint>
#include <string_view>

namespace fwu {

// Fonts whose bytes picture symbols rather than letters. Neither the
// system's converters nor a font-less view know them, so they are mapped
// here to the Unicode characters they picture.
enum class SymbolFont { None, Symbol, Wingdings, Other };

// What a font-table entry is: its name decides, and any other font with
// the symbol character set (\fcharset2) is a symbol font without a table.
SymbolFont SymbolFontOf(std::string_view fontName, bool symbolCharset);

// The character a byte of that font pictures: the Adobe Symbol encoding,
// the common Wingdings bullets, checks and arrows; U+FFFD for any other.
char32_t SymbolCharacter(SymbolFont font, std::uint8_t byte);

}  // namespace fwu
