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

enum class VerticalPosition { Normal, Subscript, Superscript };

struct CharacterStyle {
  static constexpr int kDefaultHalfPoints = 24;  // 12 pt, what a document without \fs gets

  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool capitals = false;  // shown in capitals, whatever case the text has
  VerticalPosition position = VerticalPosition::Normal;
  int halfPoints = kDefaultHalfPoints;
  std::string fontName;                // empty: the view's own font
  std::optional<TextColour> colour;    // none: the view's text colour
  std::optional<TextColour> highlight; // none: the view's background
  bool operator==(const CharacterStyle&) const = default;
};

enum class Alignment { Left, Centre, Right, Justified };

// Lengths in twips (1/1440 inch), as the document gives them.
struct ParagraphFormat {
  Alignment alignment = Alignment::Left;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstLineIndent = 0;  // from the left indent; negative: hanging
  int spaceBefore = 0;
  int spaceAfter = 0;
  bool operator==(const ParagraphFormat&) const = default;
};

// Text of one style, in UTF-8; "\n" is a line break inside the paragraph
// and "\t" a tab.
struct TextRun {
  std::string text;
  CharacterStyle style;
  bool operator==(const TextRun&) const = default;
};

struct Paragraph : ParagraphFormat {
  std::vector<TextRun> runs;
  bool operator==(const Paragraph&) const = default;
};

// A notice's formatted text, as the views render it: a list of paragraphs,
// each a list of runs of one style.
struct StyledText {
  std::vector<Paragraph> paragraphs;
  // The code page the document declares for its text (\ansicpg, else
  // \ansi, \mac, \pc or \pca); other texts that travel with it, such as
  // the notice's caption, are written in it.
  unsigned codePage = 1252;

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
