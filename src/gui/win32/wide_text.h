#pragma once

#include <string>

namespace fwu {

// The core's texts are UTF-8; every Windows call this view makes takes
// UTF-16. Invalid bytes become U+FFFD rather than ending the text.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace fwu
