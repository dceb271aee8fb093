#include "net/ftp_reply.h"

#include <algorithm>
#include <cstdint>

#include "platform/ascii_case.h"
#include "platform/ipv4_address.h"

namespace fwu {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::size_t ReplyLineReader::Feed(std::span<const std::uint8_t> bytes) {
  const std::size_t taken = std::min(bytes.size(), Room());
  buffer_.append(reinterpret_cast<const char*>(bytes.data()), taken);
  return taken;
}

std::optional<std::string> ReplyLineReader::TakeLine() {
  const std::size_t end = buffer_.find('\n');
  std::size_t length = 0;
  if (end != std::string::npos) {
    length = end + 1;
  } else if (buffer_.size() >= kCapacity) {
    length = buffer_.size();
  } else {
    return std::nullopt;
  }
  std::string line = buffer_.substr(0, length);
  buffer_.erase(0, length);
  return line;
}

std::int64_t ReplyCode(std::string_view line) {
  std::int64_t value = 0;
  for (std::size_t i = 0; i < line.size() && i < 10 && IsDigit(line[i]); ++i) value = value * 10 + (line[i] - '0');
  return value;
}

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

bool IsFailingReply(std::int64_t code) { return code >= 301 && code <= 599; }
bool IsRefusedLogin(std::int64_t code) { return code >= 401 && code <= 599; }
bool IsCompletion(std::int64_t code) { return code >= 200 && code <= 299; }

bool OpensMultiLineReply(std::string_view first) {
  return first.size() >= 4 && IsDigit(first[0]) && IsDigit(first[1]) && IsDigit(first[2]) && first[3] == '-';
}

bool EndsMultiLineReply(std::string_view first, std::string_view line) {
  return line.size() >= 4 && line.substr(0, 3) == first.substr(0, 3) && line[3] == ' ';
}

std::int64_t AnnouncedSize(std::string_view text) {
  const std::string upper = AsciiUpper(std::string(text));
  for (std::size_t word = upper.find("BYTE"); word != std::string::npos; word = upper.find("BYTE", word + 1)) {
    std::size_t end = word;
    while (end > 0 && upper[end - 1] == ' ') --end;
    std::size_t begin = end;
    while (begin > 0 && IsDigit(upper[begin - 1])) --begin;
    if (begin == end) continue;
    std::int64_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
      value = value * 10 + (upper[i] - '0');
      if (value > INT32_MAX) return 0;
    }
    return value;
  }
  return 0;
}

std::string PortArgument(const std::string& dottedAddress, std::uint16_t port) {
  const auto address = ParseDottedIpv4(dottedAddress);
  if (!address) return {};
  std::string argument;
  for (int shift = 24; shift >= 0; shift -= 8) argument += std::to_string((*address >> shift) & 0xFF) + ",";
  return argument + std::to_string(port >> 8) + "," + std::to_string(port & 0xFF);
}

}  // namespace fwu
