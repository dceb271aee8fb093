#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fwu {

// One Windows code page, decoded by the system's own converter (iconv on
// POSIX systems, MultiByteToWideChar on Windows), so that a document reads
// the same as the system's rich-text control reads it.
class CodePage {
 public:
  static constexpr char32_t kReplacement = 0xFFFD;

  // The converter for a Windows code page number (1252, 936, 437, 10000...);
  // nothing when the system does not know that code page.
  static std::unique_ptr<CodePage> Open(unsigned number);

  virtual ~CodePage() = default;

  unsigned Number() const { return number_; }
  // True for the first byte of a two-byte character (code pages 932, 936,
  // 949, 950 and 1361).
  bool IsLeadByte(std::uint8_t byte) const { return leadBytes_[byte]; }
  // The character of a byte that stands alone; U+FFFD when the code page
  // assigns it none.
  char32_t Single(std::uint8_t byte) const { return singles_[byte]; }
  // The character of a lead byte and its trail byte; U+FFFD when the pair
  // is not a character.
  char32_t Double(std::uint8_t lead, std::uint8_t trail) const;
  // The text, UTF-8, in this code page; nothing when some character has no
  // place in it.
  virtual std::optional<std::string> Encode(std::string_view utf8) const = 0;

 protected:
  explicit CodePage(unsigned number) : number_(number) {}
  // Fills the lead-byte and single-byte tables from the system converter's
  // answer for each byte alone; called once by each implementation.
  template <typename Probe>
  void FillTables(Probe&& probe);

  // C1 controls and private-use characters are what one system gives for
  // the bytes a code page leaves unassigned, where the other refuses them:
  // both show them as unreadable.
  static bool IsStandIn(char32_t character) {
    return (character >= 0x7F && character <= 0x9F) || (character >= 0xE000 && character <= 0xF8FF);
  }

  // The system converter's answer for one pair.
  virtual char32_t DecodePair(std::uint8_t lead, std::uint8_t trail) const = 0;

  std::array<bool, 256> leadBytes_{};
  std::array<char32_t, 256> singles_{};

 private:
  unsigned number_;
  // Pairs asked for before, by lead and trail byte: a notice repeats its
  // characters, and the system converter costs more than a look-up.
  mutable std::vector<char32_t> pairs_;
};

// What the system converter says about one byte standing alone.
enum class ByteKind { Character, Lead, Unassigned };

template <typename Probe>
void CodePage::FillTables(Probe&& probe) {
  for (unsigned byte = 0; byte < 256; ++byte) {
    char32_t character = kReplacement;
    const ByteKind kind = probe(static_cast<std::uint8_t>(byte), character);
    leadBytes_[byte] = kind == ByteKind::Lead;
    const bool unassigned = byte >= 0x80 && (character < 0x20 || IsStandIn(character));
    singles_[byte] = kind == ByteKind::Character && !unassigned ? character : kReplacement;
  }
}

}  // namespace fwu
