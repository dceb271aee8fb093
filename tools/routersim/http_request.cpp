#include "http_request.h"

#include <algorithm>
#include <charconv>

#include "platform/ascii_case.h"

namespace fwu {

namespace {

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

bool ParseRequestLine(std::string_view line, HttpRequestHead& head) {
  const auto firstBlank = line.find(' ');
  const auto lastBlank = line.rfind(' ');
  if (firstBlank == std::string_view::npos || lastBlank == firstBlank) return false;
  head.method = std::string(line.substr(0, firstBlank));
  head.target = std::string(line.substr(firstBlank + 1, lastBlank - firstBlank - 1));
  if (head.method.empty() || head.target.empty() || line.substr(lastBlank + 1).rfind("HTTP/", 0) != 0) return false;
  const auto question = head.target.find('?');
  head.path = head.target.substr(0, question);
  if (question != std::string::npos) head.query = head.target.substr(question + 1);
  return true;
}

bool ParseHeaderLine(std::string_view line, HttpRequestHead& head) {
  const auto colon = line.find(':');
  const bool isHeader = colon != std::string_view::npos && colon > 0 &&
                        line.substr(0, colon).find(' ') == std::string_view::npos;
  if (!isHeader) {
    head.otherLines.emplace_back(line);
    return true;
  }
  std::string name(line.substr(0, colon));
  std::string value = Trim(line.substr(colon + 1));
  if (AsciiLower(name) == "content-length") {
    std::uint64_t length = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size()) return false;
    head.contentLength = length;
  }
  head.headers.emplace_back(std::move(name), std::move(value));
  return true;
}

}  // namespace

bool HttpRequestHead::HasLine(const std::string& line) const {
  return std::find(otherLines.begin(), otherLines.end(), line) != otherLines.end();
}

std::string HttpRequestHead::Header(const std::string& name) const {
  for (const auto& [headerName, value] : headers) {
    if (AsciiLower(headerName) == AsciiLower(name)) return value;
  }
  return {};
}

std::string HttpRequestHead::QueryValue(const std::string& name) const {
  // The upgrader puts values in as typed, so they are taken as sent: no
  // percent-decoding.
  std::size_t start = 0;
  while (start <= query.size()) {
    const auto end = std::min(query.find('&', start), query.size());
    const std::string_view item(query.data() + start, end - start);
    if (item.size() > name.size() && item.substr(0, name.size()) == name && item[name.size()] == '=') {
      return std::string(item.substr(name.size() + 1));
    }
    start = end + 1;
  }
  return {};
}

HeadParse ParseRequestHead(std::string_view received) {
  HeadParse result;
  const auto firstEnd = received.find("\r\n");
  if (firstEnd == std::string_view::npos) {
    if (received.size() > kMaxRequestHead) result.status = HeadStatus::Bad;
    return result;
  }
  if (!ParseRequestLine(received.substr(0, firstEnd), result.head)) {
    result.status = HeadStatus::Bad;
    return result;
  }
  if (result.head.method == "GET" && result.head.path == "/config.bin") {
    result.head.headSize = firstEnd + 2;
    result.status = HeadStatus::Complete;
    return result;
  }
  const auto headEnd = received.find("\r\n\r\n");
  if (headEnd == std::string_view::npos) {
    if (received.size() > kMaxRequestHead) result.status = HeadStatus::Bad;
    return result;
  }
  std::size_t lineStart = firstEnd + 2;
  while (lineStart < headEnd + 2) {
    const auto lineEnd = received.find("\r\n", lineStart);
    if (!ParseHeaderLine(received.substr(lineStart, lineEnd - lineStart), result.head)) {
      result.status = HeadStatus::Bad;
      return result;
    }
    lineStart = lineEnd + 2;
  }
  result.head.headSize = headEnd + 4;
  result.status = HeadStatus::Complete;
  return result;
}

}  // namespace fwu
