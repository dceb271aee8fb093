#include "notice/symbol_fonts.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ascii_case.h"

namespace fwu {

namespace {

constexpr char32_t kNone = 0xFFFD;

// The Adobe Symbol encoding, 0x20 to 0xFF, one row of sixteen bytes a line;
// U+FFFD where it has no character. The pieces of large brackets and the
// arrow extenders are the Unicode pieces that draw the same.
constexpr std::u16string_view kSymbol =
    u" !∀#∃%&∋()∗+,−./"  // 0x20
    u"0123456789:;<=>?"  // 0x30
    u"≅ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟ"  // 0x40
    u"ΠΘΡΣΤΥςΩΞΨΖ[∴]⊥_"  // 0x50
    u"‾αβχδεφγηιϕκλμνο"  // 0x60
    u"πθρστυϖωξψζ{|}∼\uFFFD"  // 0x70
    u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"  // 0x80
    u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"  // 0x90
    u"€ϒ′≤⁄∞ƒ♣♦♥♠↔←↑→↓"  // 0xA0
    u"°±″≥×∝∂•÷≠≡≈…⏐⎯↵"  // 0xB0
    u"ℵℑℜ℘⊗⊕∅∩∪⊃⊇⊄⊂⊆∈∉"  // 0xC0
    u"∠∇®©™∏√⋅¬∧∨⇔⇐⇑⇒⇓"  // 0xD0
    u"◊〈®©™∑⎛⎜⎝⎡⎢⎣⎧⎨⎩⎪"  // 0xE0
    u"\uFFFD〉∫⌠⎮⌡⎞⎟⎠⎤⎥⎦⎫⎬⎭\uFFFD";  // 0xF0

static_assert(kSymbol.size() == 224);

// The Wingdings pictures that notices use as bullets, checks and arrows.
constexpr std::array<std::pair<std::uint8_t, char32_t>, 27> kWingdings = {{
    {0x20, U' '},      {0x4A, U'\u263A'}, {0x4C, U'\u2639'}, {0x6C, U'\u25CF'}, {0x6D, U'\u274D'},
    {0x6E, U'\u25A0'}, {0x6F, U'\u25A1'}, {0x71, U'\u2751'}, {0x72, U'\u2752'}, {0x75, U'\u25C6'},
    {0x76, U'\u2756'}, {0xA1, U'\u25CB'}, {0xA7, U'\u25AA'}, {0xD8, U'\u27A2'}, {0xDF, U'\u2190'},
    {0xE0, U'\u2192'}, {0xE1, U'\u2191'}, {0xE2, U'\u2193'}, {0xE8, U'\u2794'}, {0xEF, U'\u21E6'},
    {0xF0, U'\u21E8'}, {0xF1, U'\u21E7'}, {0xF2, U'\u21E9'}, {0xFB, U'\u2717'}, {0xFC, U'\u2713'},
    {0xFD, U'\u2612'}, {0xFE, U'\u2611'},
}};

static_assert(std::is_sorted(kWingdings.begin(), kWingdings.end()));

}  // namespace

SymbolFont SymbolFontOf(std::string_view fontName, bool symbolCharset) {
  const std::string name = AsciiLower(std::string(fontName));
  if (name == "symbol") return SymbolFont::Symbol;
  if (name == "wingdings") return SymbolFont::Wingdings;
  if (symbolCharset || name == "webdings") return SymbolFont::Other;
  return SymbolFont::None;
}

char32_t SymbolCharacter(SymbolFont font, std::uint8_t byte) {
  switch (font) {
    case SymbolFont::Symbol:
      return byte < 0x20 ? kNone : kSymbol[byte - 0x20];
    case SymbolFont::Wingdings: {
      const auto found = std::lower_bound(kWingdings.begin(), kWingdings.end(), std::pair{byte, char32_t{0}});
      return found != kWingdings.end() && found->first == byte ? found->second : kNone;
    }
    case SymbolFont::None:
    case SymbolFont::Other:
      break;
  }
  return kNone;
}

}  // namespace fwu
