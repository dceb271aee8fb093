#pragma once

// Text at the Windows boundary: the wide (…W) calls take and give UTF-16 in
// wchar_t, the program keeps UTF-8. Nothing that the other side cannot hold
// crosses: a name that does not convert is a name the call cannot have.
#include <optional>
#include <string>
#include <string_view>

#include "platform/utf16.h"

namespace fwu {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

inline std::optional<std::wstring> Widen(std::string_view utf8, InvalidText invalid = InvalidText::Refuse) {
  const auto converted = Utf8ToUtf16(utf8, invalid);
  if (!converted) return std::nullopt;
  return std::wstring(converted.text.begin(), converted.text.end());
}

inline std::optional<std::string> Narrow(std::wstring_view wide, InvalidText invalid = InvalidText::Refuse) {
  auto converted = Utf16ToUtf8(std::u16string(wide.begin(), wide.end()), invalid);
  if (!converted) return std::nullopt;
  return std::move(converted.text);
}

}  // namespace fwu
