#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>

#include "platform/host_lookup.h"
#include "platform/socket_error.h"
#include "platform/windows/winsock.h"

namespace fwu {

ResolvedHost LookUpHostIpv4(const std::string& host) {
  ResolvedHost result;
  EnsureWinsock();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  // The resolver's failures are Windows Sockets numbers already.
  const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) {
    result.error = rc != 0 ? rc : wsa::kHostNotFound;
    return result;
  }
  const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
  result.address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  result.canonicalName = found->ai_canonname != nullptr ? found->ai_canonname : host;
  return result;
}

}  // namespace fwu
