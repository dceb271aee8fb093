#include "notice/rtf_control_words.h"

#include <algorithm>
#include <array>

#include "notice/styled_text.h"

namespace fwu::rtf {

namespace {

constexpr std::uint32_t Flag(StyleFlag flag) { return static_cast<std::uint32_t>(flag); }
constexpr std::uint32_t Length(ParagraphLength length) { return static_cast<std::uint32_t>(length); }

// Sorted by name, for the binary search.
constexpr std::array kWords = {
    Word{"ansi", Action::DocumentCharset, 1252},
    Word{"ansicpg", Action::AnsiCodePage},
    Word{"author", Action::SkipDestination},
    Word{"b", Action::StyleFlag, Flag(StyleFlag::Bold)},
    Word{"bin", Action::Binary},
    Word{"blue", Action::ColourComponent, 2},
    Word{"bullet", Action::Char, 0x2022},
    Word{"buptim", Action::SkipDestination},
    Word{"caps", Action::StyleFlag, Flag(StyleFlag::Capitals)},
    Word{"cell", Action::Cell},
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
    Word{"fcharset", Action::FontCharset},
    Word{"fi", Action::ParagraphLength, Length(ParagraphLength::FirstLineIndent)},
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
    Word{"highlight", Action::Highlight},
    Word{"i", Action::StyleFlag, Flag(StyleFlag::Italic)},
    Word{"info", Action::SkipDestination},
    Word{"keywords", Action::SkipDestination},
    Word{"ldblquote", Action::Char, 0x201C},
    Word{"li", Action::ParagraphLength, Length(ParagraphLength::LeftIndent)},
    Word{"line", Action::Char, '\n'},
    Word{"listoverridetable", Action::SkipDestination},
    Word{"listtable", Action::SkipDestination},
    Word{"lquote", Action::Char, 0x2018},
    Word{"mac", Action::DocumentCharset, 10000},
    Word{"nestcell", Action::Cell},
    Word{"nestrow", Action::RowEnd},
    Word{"nesttableprops", Action::NestedRowProperties},
    Word{"nonesttables", Action::SkipDestination},
    Word{"nosupersub", Action::Position, static_cast<std::uint32_t>(VerticalPosition::Normal)},
    Word{"object", Action::SkipDestination},
    Word{"operator", Action::SkipDestination},
    Word{"page", Action::ParagraphEnd},
    Word{"par", Action::ParagraphEnd},
    Word{"pard", Action::ParagraphDefaults},
    Word{"pc", Action::DocumentCharset, 437},
    Word{"pca", Action::DocumentCharset, 850},
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
    Word{"ri", Action::ParagraphLength, Length(ParagraphLength::RightIndent)},
    Word{"row", Action::RowEnd},
    Word{"rquote", Action::Char, 0x2019},
    Word{"rxe", Action::SkipDestination},
    Word{"sa", Action::ParagraphLength, Length(ParagraphLength::SpaceAfter)},
    Word{"sb", Action::ParagraphLength, Length(ParagraphLength::SpaceBefore)},
    Word{"sect", Action::ParagraphEnd},
    Word{"strike", Action::StyleFlag, Flag(StyleFlag::Strike)},
    Word{"striked", Action::StyleFlag, Flag(StyleFlag::Strike)},
    Word{"stylesheet", Action::SkipDestination},
    Word{"sub", Action::Position, static_cast<std::uint32_t>(VerticalPosition::Subscript)},
    Word{"subject", Action::SkipDestination},
    Word{"super", Action::Position, static_cast<std::uint32_t>(VerticalPosition::Superscript)},
    Word{"tab", Action::Char, '\t'},
    Word{"tc", Action::SkipDestination},
    Word{"title", Action::SkipDestination},
    Word{"txe", Action::SkipDestination},
    Word{"u", Action::Unicode},
    Word{"uc", Action::UnicodeFallback},
    Word{"ul", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"uld", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"uldash", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"uldb", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"ulnone", Action::UnderlineOff},
    Word{"ulth", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"ulw", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"ulwave", Action::StyleFlag, Flag(StyleFlag::Underline)},
    Word{"v", Action::Hidden},
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
