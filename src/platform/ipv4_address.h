#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fwu {

// IPv4 addresses travel through the core in host byte order; only the
// socket wrappers turn them around.
using Ipv4 = std::uint32_t;

inline constexpr Ipv4 kBroadcastIpv4 = 0xFFFFFFFFu;
inline constexpr Ipv4 kAnyIpv4 = 0;

struct Ipv4Endpoint {
  Ipv4 address = kAnyIpv4;
  std::uint16_t port = 0;
};

// Strict dotted-quad text, no blanks, no name lookup.
std::optional<Ipv4> ParseDottedIpv4(std::string_view text);
std::string FormatDottedIpv4(Ipv4 address);

struct ResolvedHost {
  std::optional<Ipv4> address;  // the first IPv4 address of the answer
  std::string canonicalName;
  int error = 0;  // Windows Sockets number when the lookup failed
};

// A dotted text converts directly; anything else goes to the system's
// resolver (hosts file, then DNS), which may block for its own time-out.
ResolvedHost ResolveHostIpv4(const std::string& host);

}  // namespace fwu
