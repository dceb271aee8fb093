#include "platform/utf16.h"

namespace fwu {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLargest = 0x10FFFF;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a lead byte announces, or 0 for a byte no sequence starts with.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The code point starting at `at`, or nothing when the bytes there are not
// one well-formed sequence (overlong forms and encoded surrogates included).
std::size_t DecodeAt(std::string_view utf8, std::size_t at, char32_t& point) {
  const auto lead = static_cast<unsigned char>(utf8[at]);
  const std::size_t length = SequenceLength(lead);
  if (length == 0 || utf8.size() - at < length) return 0;
  if (length == 1) {
    point = lead;
    return 1;
  }
  point = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(utf8[at + i]);
    if (!IsContinuation(byte)) return 0;
    point = (point << 6) | (byte & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (point < kSmallest[length] || point > kLargest || IsSurrogate(point)) return 0;
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Hex(unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

}  // namespace

Converted<std::u16string> Utf8ToUtf16(std::string_view utf8, InvalidText invalid) {
  Converted<std::u16string> result;
  for (std::size_t at = 0; at < utf8.size();) {
    char32_t point = 0;
    std::size_t length = DecodeAt(utf8, at, point);
    if (length == 0) {
      if (invalid == InvalidText::Refuse) {
        result.text.clear();
        result.failure = "not UTF-8 at byte " + std::to_string(at);
        return result;
      }
      point = kReplacement;
      length = 1;
    }
    if (point < 0x10000) {
      result.text += static_cast<char16_t>(point);
    } else {
      result.text += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      result.text += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
    at += length;
  }
  return result;
}

Converted<std::string> Utf16ToUtf8(std::u16string_view utf16, InvalidText invalid) {
  Converted<std::string> result;
  for (std::size_t at = 0; at < utf16.size(); ++at) {
    char32_t point = utf16[at];
    if (IsHighSurrogate(point) && at + 1 < utf16.size() && IsLowSurrogate(utf16[at + 1])) {
      point = 0x10000 + ((point - 0xD800) << 10) + (utf16[at + 1] - 0xDC00);
      ++at;
    } else if (IsSurrogate(point)) {
      if (invalid == InvalidText::Refuse) {
        result.text.clear();
        result.failure = "unpaired surrogate U+" + Hex(static_cast<unsigned>(point)) + " at position " + std::to_string(at);
        return result;
      }
      point = kReplacement;
    }
    AppendUtf8(result.text, point);
  }
  return result;
}

std::size_t IncompleteUtf8Tail(std::string_view utf8) {
  // A sequence is at most four bytes long, so its lead is among the last three.
  for (std::size_t back = 1; back <= 3 && back <= utf8.size(); ++back) {
    const auto byte = static_cast<unsigned char>(utf8[utf8.size() - back]);
    if (IsContinuation(byte)) continue;
    const std::size_t length = SequenceLength(byte);
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace fwu
