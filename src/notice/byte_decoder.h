#pragma once

#include <cstdint>
#include <optional>

#include "notice/symbol_fonts.h"

namespace fwu {

class CodePage;

// How the bytes of text in one font become characters: through a code page,
// or through a symbol font's own table.
struct ByteDecoder {
  const CodePage* codePage = nullptr;
  SymbolFont symbol = SymbolFont::None;
};

// Turns text bytes into characters one byte at a time, a lead byte of a
// two-byte code page waiting for its trail byte.
class ByteJoiner {
 public:
  // The character the byte completes; nothing while a lead byte waits.
  // A lead byte keeps the code page it came in, whatever comes between.
  std::optional<char32_t> Byte(std::uint8_t byte, const ByteDecoder& decoder, bool raw = false);
  // A lead byte that came raw takes the next byte as its trail whatever it
  // is, a backslash or a brace included: a writer of raw double-byte text
  // does not escape the second byte.
  bool WantsRawTrail() const { return lead_ && lead_->raw; }
  // True when a lead byte was waiting: it is dropped, and shows as U+FFFD.
  bool Drop();

 private:
  struct Lead {
    std::uint8_t byte = 0;
    bool raw = false;
    const CodePage* codePage = nullptr;
  };
  std::optional<Lead> lead_;
};

}  // namespace fwu
