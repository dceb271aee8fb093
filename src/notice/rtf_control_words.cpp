#include "notice/rtf_control_words.h"

#include <algorithm>
#include <array>

#include "notice/styled_text.h"

namespace fwu::rtf {

namespace {

// Sorted by name, for the binary search.
constexpr std::array kWords = {
    Word{"author", Action::SkipDestination},
    Word{"b", Action::Bold},
    Word{"bin", Action::Binary},
    Word{"blue", Action::ColourComponent, 2},
    Word{"bullet", Action::Char, 0x2022},
    Word{"buptim", Action::SkipDestination},
    Word{"cell", Action::Char, '\t'},
    Word{"cf", Action::Colour},
    Word{"colortbl", Action::ColourTable},
    Word{"comment", Action::SkipDestination},
    Word{"creatim", Action::SkipDestination},
    Word{"datastore", Action::SkipDestination},
    Word{"deff", Action::DefaultFont},
    Word{"emdash", Action::Char, 0x2014},
    Word{"emspace", Action::Char, 0x2003},
    Word{"endash", Action::Char, 0x2013},
    Word{"enspace", Action::Char, 0x2002},
    Word{"f", Action::Font},
    Word{"falt", Action::SkipDestination},
    Word{"fldinst", Action::SkipDestination},
    Word{"fonttbl", Action::FontTable},
    Word{"footer", Action::SkipDestination},
    Word{"footerf", Action::SkipDestination},
    Word{"footerl", Action::SkipDestination},
    Word{"footerr", Action::SkipDestination},
    Word{"footnote", Action::SkipDestination},
    Word{"fs", Action::FontSize},
    Word{"green", Action::ColourComponent, 1},
    Word{"header", Action::SkipDestination},
    Word{"headerf", Action::SkipDestination},
    Word{"headerl", Action::SkipDestination},
    Word{"headerr", Action::SkipDestination},
    Word{"i", Action::Italic},
    Word{"info", Action::SkipDestination},
    Word{"keywords", Action::SkipDestination},
    Word{"ldblquote", Action::Char, 0x201C},
    Word{"line", Action::Char, '\n'},
    Word{"listoverridetable", Action::SkipDestination},
    Word{"listtable", Action::SkipDestination},
    Word{"lquote", Action::Char, 0x2018},
    Word{"object", Action::SkipDestination},
    Word{"operator", Action::SkipDestination},
    Word{"page", Action::ParagraphEnd},
    Word{"par", Action::ParagraphEnd},
    Word{"pard", Action::ParagraphDefaults},
    Word{"pict", Action::SkipDestination},
    Word{"plain", Action::Plain},
    Word{"printim", Action::SkipDestination},
    Word{"qc", Action::Align, static_cast<std::uint32_t>(Alignment::Centre)},
    Word{"qj", Action::Align, static_cast<std::uint32_t>(Alignment::Justified)},
    Word{"ql", Action::Align, static_cast<std::uint32_t>(Alignment::Left)},
    Word{"qmspace", Action::Char, 0x2005},
    Word{"qr", Action::Align, static_cast<std::uint32_t>(Alignment::Right)},
    Word{"rdblquote", Action::Char, 0x201D},
    Word{"red", Action::ColourComponent, 0},
    Word{"revtim", Action::SkipDestination},
    Word{"row", Action::ParagraphEnd},
    Word{"rquote", Action::Char, 0x2019},
    Word{"rxe", Action::SkipDestination},
    Word{"sect", Action::ParagraphEnd},
    Word{"stylesheet", Action::SkipDestination},
    Word{"subject", Action::SkipDestination},
    Word{"tab", Action::Char, '\t'},
    Word{"tc", Action::SkipDestination},
    Word{"title", Action::SkipDestination},
    Word{"txe", Action::SkipDestination},
    Word{"u", Action::Unicode},
    Word{"uc", Action::UnicodeFallback},
    Word{"ul", Action::Underline},
    Word{"uld", Action::Underline},
    Word{"uldash", Action::Underline},
    Word{"uldb", Action::Underline},
    Word{"ulnone", Action::UnderlineOff},
    Word{"ulth", Action::Underline},
    Word{"ulw", Action::Underline},
    Word{"ulwave", Action::Underline},
    Word{"xe", Action::SkipDestination},
};

static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const Word& a, const Word& b) { return a.name < b.name; }));

}  // namespace

const Word* FindWord(std::string_view name) {
  const auto found = std::lower_bound(kWords.begin(), kWords.end(), name,
                                      [](const Word& word, std::string_view key) { return word.name < key; });
  return found != kWords.end() && found->name == name ? &*found : nullptr;
}

}  // namespace fwu::rtf
