#pragma once

#include <string>

#include "platform/windows/wide_text.h"

namespace fwu {

// The models hold UTF-8, the controls UTF-16. A view shows and takes text
// whatever it holds: what does not convert becomes U+FFFD instead of
// leaving a control empty.
inline std::wstring ViewText(const std::string& utf8) {
  return Widen(utf8, InvalidText::Replace).value_or(std::wstring());
}
inline std::string ModelText(const std::wstring& wide) {
  return Narrow(wide, InvalidText::Replace).value_or(std::string());
}

}  // namespace fwu
