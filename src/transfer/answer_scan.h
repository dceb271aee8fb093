#pragma once

#include <string>
#include <string_view>

#include "platform/printable_text.h"

namespace fwu {

// Routers answer in loosely shaped pages; every test on an answer is a plain
// substring search in the bytes received.
inline bool Contains(std::string_view answer, std::string_view text) {
  return answer.find(text) != std::string_view::npos;
}

inline constexpr std::string_view kCasTag = "--CAS";

// The result code after the "--CAS" tag: the tag and one separator character
// are skipped and four characters taken (fewer when the answer ends first).
// Empty when there is no tag. An unknown code is logged and shown, so it is
// taken printable.
inline std::string CasCode(std::string_view answer) {
  const auto tag = answer.find(kCasTag);
  if (tag == std::string_view::npos) return {};
  const auto start = tag + kCasTag.size() + 1;
  if (start >= answer.size()) return {};
  return PrintableText(answer.substr(start, 4));
}

inline bool HasCasTag(std::string_view answer) { return Contains(answer, kCasTag); }

}  // namespace fwu
