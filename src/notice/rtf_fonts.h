#pragma once

#include <map>
#include <optional>
#include <string>

#include "notice/byte_decoder.h"

namespace fwu {

// A document's font table and code pages: which code page each font's
// bytes are in (its \fcharset, else the document's \ansicpg, else the
// \ansi, \mac, \pc or \pca character set), and which fonts picture symbols.
class RtfFonts {
 public:
  RtfFonts();

  void SetDocumentCodePage(unsigned number);  // \ansi, \mac, \pc, \pca
  void SetAnsiCodePage(long number);          // \ansicpgN
  unsigned DocumentCodePage() const;

  // The font table, entry by entry: \fN, then \fcharsetN and the name up
  // to ';'.
  void BeginEntry(int number);
  void SetEntryCharset(int charset);
  void AppendToName(char32_t character);
  void EndEntry();
  // The bytes of a font's name are in its own character set.
  const ByteDecoder& EntryDecoder();

  // The font's name as a view should ask for it: empty for a symbol font,
  // whose characters are shown as Unicode in the view's own font.
  std::string NameOf(int font) const;
  const ByteDecoder& DecoderOf(int font);

 private:
  struct Font {
    std::string name;
    std::optional<int> charset;
    SymbolFont symbol = SymbolFont::None;
  };

  ByteDecoder Resolve(const Font& font) const;
  const CodePage& CodePageFor(std::optional<int> charset) const;

  std::map<int, Font> fonts_;
  int entryNumber_ = 0;
  Font entry_;
  unsigned characterSet_;
  std::optional<unsigned> ansiCodePage_;
  // Text keeps its font for long stretches: the last answer is kept.
  std::optional<int> cachedFont_;
  ByteDecoder cachedDecoder_;
  ByteDecoder entryDecoder_;
};

}  // namespace fwu
