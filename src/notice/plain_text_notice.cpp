#include "notice/plain_text_notice.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "notice/text_encoding.h"

namespace fwu {

StyledText ReadPlainText(std::span<const std::uint8_t> bytes) {
  StyledText document;
  const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::size_t start = 0;
  while (start < all.size()) {
    const std::size_t end = std::min(all.find('\n', start), all.size());
    Paragraph paragraph;
    const std::string line = DecodeLine(all.substr(start, end - start), kWesternCodePage);
    if (!line.empty()) paragraph.runs.push_back({line, {}});
    if (!line.empty() || end < all.size()) document.paragraphs.push_back(std::move(paragraph));
    start = end + 1;
  }
  return document;
}

}  // namespace fwu
