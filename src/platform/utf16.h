#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fwu {

// Text inside the program is UTF-8; Windows takes and gives UTF-16. Both
// directions refuse what has no counterpart on the other side (bytes that
// are not UTF-8, a surrogate without its partner), so a name is never
// silently turned into another name.
template <typename Text>
struct Converted {
  Text text;
  // Empty when the conversion succeeded; else what was wrong, and where.
  std::string failure;
  explicit operator bool() const { return failure.empty(); }
};

// What to do with input that cannot be converted: refuse it (names, paths),
// or show U+FFFD in its place (text on its way to a screen).
enum class InvalidText { Refuse, Replace };

Converted<std::u16string> Utf8ToUtf16(std::string_view utf8, InvalidText invalid = InvalidText::Refuse);
Converted<std::string> Utf16ToUtf8(std::u16string_view utf16, InvalidText invalid = InvalidText::Refuse);

// How many bytes at the end of `utf8` start a sequence that is not complete
// yet, so that a stream written in pieces can hold them for the next piece.
std::size_t IncompleteUtf8Tail(std::string_view utf8);

}  // namespace fwu
