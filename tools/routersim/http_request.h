#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fwu {

// The head of one HTTP request as the upgrader sends it: a request line,
// header lines, and possibly lines that are no header at all (its login's
// "rd=begin" line).
struct HttpRequestHead {
  std::string method;
  std::string target;  // path and query as sent
  std::string path;
  std::string query;
  std::vector<std::pair<std::string, std::string>> headers;  // names as sent
  std::vector<std::string> otherLines;
  std::optional<std::uint64_t> contentLength;
  std::size_t headSize = 0;  // bytes of the head, body starts after them

  bool HasLine(const std::string& line) const;
  // The value of a header (name compared without case), empty when absent.
  std::string Header(const std::string& name) const;
  std::string QueryValue(const std::string& name) const;
};

enum class HeadStatus { Incomplete, Complete, Bad };

struct HeadParse {
  HeadStatus status = HeadStatus::Incomplete;
  HttpRequestHead head;
};

// Parses the head at the start of received. A head ends with an empty line,
// except a GET of "/config.bin", which the upgrader sends as a request line
// alone and then waits for the answer.
HeadParse ParseRequestHead(std::string_view received);

// Heads longer than this are refused rather than buffered without bound.
inline constexpr std::size_t kMaxRequestHead = 64 * 1024;

}  // namespace fwu
