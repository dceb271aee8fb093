#pragma once

#include <cstdint>
#include <string_view>

namespace fwu::rtf {

// What a control word the notice reader knows does.
enum class Action {
  Char,          // one character: value is its code point
  ParagraphEnd,
  Bold,
  Italic,
  Underline,
  UnderlineOff,
  Plain,
  FontSize,
  Font,
  Colour,
  ColourComponent,  // value is 0 red, 1 green, 2 blue
  ParagraphDefaults,
  Align,  // value is the Alignment
  Unicode,
  UnicodeFallback,
  DefaultFont,
  Binary,
  FontTable,
  ColourTable,
  SkipDestination,
};

struct Word {
  std::string_view name;
  Action action;
  std::uint32_t value = 0;
};

// The word of that name, or nothing when the reader does not know it.
const Word* FindWord(std::string_view name);

}  // namespace fwu::rtf
