#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fwu {

struct TextColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const TextColour&) const = default;
};

struct CharacterStyle {
  static constexpr int kDefaultHalfPoints = 24;  // 12 pt, what a document without \fs gets

  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = kDefaultHalfPoints;
  std::string fontName;               // empty: the view's own font
  std::optional<TextColour> colour;   // none: the view's text colour
  bool operator==(const CharacterStyle&) const = default;
};

enum class Alignment { Left, Centre, Right, Justified };

// Text of one style, in UTF-8; "\n" is a line break inside the paragraph
// and "\t" a tab.
struct TextRun {
  std::string text;
  CharacterStyle style;
  bool operator==(const TextRun&) const = default;
};

struct Paragraph {
  Alignment alignment = Alignment::Left;
  std::vector<TextRun> runs;
  bool operator==(const Paragraph&) const = default;
};

// A notice's formatted text, as the views render it: a list of paragraphs,
// each a list of runs of one style.
struct StyledText {
  std::vector<Paragraph> paragraphs;

  // The text without its styles, one line per paragraph.
  std::string PlainText() const {
    std::string text;
    for (const Paragraph& paragraph : paragraphs) {
      for (const TextRun& run : paragraph.runs) text += run.text;
      text += '\n';
    }
    return text;
  }
};

}  // namespace fwu
