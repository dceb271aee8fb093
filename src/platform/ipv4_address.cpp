#include "platform/ipv4_address.h"

#include "platform/host_lookup.h"

namespace fwu {

// The rules of inet_pton(3) for IPv4, written out so that every system
// accepts the same texts: four decimal parts of 0 to 255, no leading zeros,
// nothing else.
std::optional<Ipv4> ParseDottedIpv4(std::string_view text) {
  Ipv4 address = 0;
  int parts = 0;
  std::size_t at = 0;
  while (parts < 4) {
    if (parts > 0) {
      if (at >= text.size() || text[at] != '.') return std::nullopt;
      ++at;
    }
    const std::size_t start = at;
    unsigned part = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      if (at > start && part == 0) return std::nullopt;  // a leading zero
      part = part * 10 + static_cast<unsigned>(text[at] - '0');
      if (part > 255) return std::nullopt;
      ++at;
    }
    if (at == start) return std::nullopt;
    address = (address << 8) | part;
    ++parts;
  }
  if (at != text.size()) return std::nullopt;
  return address;
}

std::string FormatDottedIpv4(Ipv4 address) {
  return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xFF) + '.' +
         std::to_string((address >> 8) & 0xFF) + '.' + std::to_string(address & 0xFF);
}

ResolvedHost ResolveHostIpv4(const std::string& host) {
  if (auto dotted = ParseDottedIpv4(host)) return ResolvedHost{dotted, host, 0};
  return LookUpHostIpv4(host);
}

}  // namespace fwu
