#pragma once

// The system's IPv4 socket address, built here for every socket file of
// both systems. The one header in platform/ that picks its system headers
// itself: the record is the same on both, only where it is declared differs.
#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

#include <optional>
#include <string>

#include "platform/ipv4_address.h"

namespace fwu {

inline sockaddr_in ToSockaddr(const Ipv4Endpoint& endpoint) {
  sockaddr_in raw{};
  raw.sin_family = AF_INET;
  raw.sin_addr.s_addr = htonl(endpoint.address);
  raw.sin_port = htons(endpoint.port);
  return raw;
}

// Strict dotted text (ParseDottedIpv4), no name lookup.
inline std::optional<sockaddr_in> ToSockaddr(const std::string& dottedAddress, std::uint16_t port) {
  const auto parsed = ParseDottedIpv4(dottedAddress);
  if (!parsed) return std::nullopt;
  return ToSockaddr(Ipv4Endpoint{*parsed, port});
}

}  // namespace fwu
