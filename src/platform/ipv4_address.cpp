#include "platform/ipv4_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

#include "platform/socket_error.h"

namespace fwu {

std::optional<Ipv4> ParseDottedIpv4(std::string_view text) {
  const std::string copy(text);
  in_addr parsed{};
  if (inet_pton(AF_INET, copy.c_str(), &parsed) != 1) return std::nullopt;
  return ntohl(parsed.s_addr);
}

std::string FormatDottedIpv4(Ipv4 address) {
  in_addr raw{};
  raw.s_addr = htonl(address);
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &raw, text, sizeof text);
  return text;
}

namespace {

int WinsockErrorFromLookup(int gaiError) {
  switch (gaiError) {
    case EAI_AGAIN: return 11002;  // try again
    case EAI_FAIL: return 11003;   // non-recoverable
    case EAI_SYSTEM: return LastSocketError();
    default: return wsa::kHostNotFound;
  }
}

}  // namespace

ResolvedHost ResolveHostIpv4(const std::string& host) {
  ResolvedHost result;
  if (auto dotted = ParseDottedIpv4(host)) {
    result.address = dotted;
    result.canonicalName = host;
    return result;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) {
    result.error = rc != 0 ? WinsockErrorFromLookup(rc) : wsa::kHostNotFound;
    return result;
  }
  const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
  result.address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  result.canonicalName = found->ai_canonname != nullptr ? found->ai_canonname : host;
  return result;
}

}  // namespace fwu
