#pragma once

#include <cstdint>
#include <string_view>

namespace fwu::rtf {

// What a control word the notice reader knows does.
enum class Action {
  Char,          // one character: value is its code point
  ParagraphEnd,
  StyleFlag,  // value is the StyleFlag
  UnderlineOff,
  Hidden,
  Position,  // value is the VerticalPosition
  Highlight,
  Plain,
  FontSize,
  Font,
  Colour,
  ColourComponent,  // value is 0 red, 1 green, 2 blue
  ParagraphDefaults,
  Align,            // value is the Alignment
  ParagraphLength,  // value is the ParagraphLength
  Cell,
  RowEnd,
  NestedRowProperties,
  Unicode,
  UnicodeFallback,
  DefaultFont,
  FontCharset,
  DocumentCharset,  // value is the code page
  AnsiCodePage,
  Binary,
  FontTable,
  ColourTable,
  SkipDestination,
};

// The on-off switches of a character style.
enum class StyleFlag { Bold, Italic, Underline, Strike, Capitals };

// The paragraph lengths, in the order the reader keeps them.
enum class ParagraphLength { LeftIndent, RightIndent, FirstLineIndent, SpaceBefore, SpaceAfter };

struct Word {
  std::string_view name;
  Action action;
  std::uint32_t value = 0;
};

// The word of that name, or nothing when the reader does not know it.
const Word* FindWord(std::string_view name);

}  // namespace fwu::rtf
