// The notices' RTF documents: any bytes, read into styled text.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "notice/rtf_reader.h"

namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool ValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next >> 6) != 0x2) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fwu::StyledText text = fwu::ReadRtf(std::span(data, size));
  // Every byte read yields at most three bytes of text and one paragraph.
  FUZZ_CHECK(text.paragraphs.size() <= size);
  std::size_t produced = 0;
  for (const fwu::Paragraph& paragraph : text.paragraphs) {
    for (const fwu::TextRun& run : paragraph.runs) {
      FUZZ_CHECK(!run.text.empty());
      FUZZ_CHECK(ValidUtf8(run.text) && ValidUtf8(run.style.fontName));
      for (const char c : run.text) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
      FUZZ_CHECK(run.style.halfPoints >= 1 && run.style.halfPoints <= 3276);
      produced += run.text.size();
    }
  }
  FUZZ_CHECK(produced <= 3 * size);
  return 0;
}
