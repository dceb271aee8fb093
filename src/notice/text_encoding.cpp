#include "notice/text_encoding.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <stdexcept>

#include "notice/byte_decoder.h"
#include "platform/code_page.h"

namespace fwu {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

// Sorted, for the binary search.
constexpr std::array<unsigned, 23> kOtherCodePages = {437, 737, 775, 850, 852, 855, 857, 860, 861, 862, 863, 865,
                                                      866, 869, 874, 932, 936, 949, 950, 1361, 10000, 10007, 10029};

static_assert(std::is_sorted(kOtherCodePages.begin(), kOtherCodePages.end()));

bool IsWindowsAnsi(unsigned number) { return number >= 1250 && number <= 1258; }

}  // namespace

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
  if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) codePoint = kReplacement;
  const auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (codePoint < 0x80) {
    put(codePoint);
  } else if (codePoint < 0x800) {
    put(0xC0 | (codePoint >> 6));
    put(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    put(0xE0 | (codePoint >> 12));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  } else {
    put(0xF0 | (codePoint >> 18));
    put(0x80 | ((codePoint >> 12) & 0x3F));
    put(0x80 | ((codePoint >> 6) & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  }
}

bool IsNoticeCodePage(unsigned number) {
  return IsWindowsAnsi(number) || std::binary_search(kOtherCodePages.begin(), kOtherCodePages.end(), number);
}

// Opening a converter costs far more than using one, and a notice's text
// switches between a few code pages at most: each is opened once per
// thread, since a converter keeps state while it works.
const CodePage& NoticeCodePage(unsigned number) {
  thread_local std::map<unsigned, std::unique_ptr<CodePage>> opened;
  if (!IsNoticeCodePage(number)) number = kWesternCodePage;
  auto found = opened.find(number);
  if (found == opened.end()) found = opened.emplace(number, CodePage::Open(number)).first;
  if (found->second) return *found->second;
  if (number == kWesternCodePage) throw std::runtime_error("the system cannot decode Windows code page 1252");
  return NoticeCodePage(kWesternCodePage);
}

std::string DecodeLine(std::string_view bytes, unsigned codePage) {
  const ByteDecoder decoder{&NoticeCodePage(codePage)};
  ByteJoiner joiner;
  std::string text;
  for (const char byte : bytes) {
    const std::optional<char32_t> character = joiner.Byte(static_cast<std::uint8_t>(byte), decoder);
    if (character && IsShownCharacter(*character)) AppendUtf8(text, *character);
  }
  if (joiner.Drop()) AppendUtf8(text, kReplacement);
  return text;
}

}  // namespace fwu
