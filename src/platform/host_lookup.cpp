#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

#include "platform/host_lookup.h"
#include "platform/socket_error.h"

namespace fwu {

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

ResolvedHost LookUpHostIpv4(const std::string& host) {
  ResolvedHost result;
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
