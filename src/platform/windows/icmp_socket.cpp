#include "platform/icmp_socket.h"

// winsock2.h before the IP helper headers, which need its types.
#include "platform/windows/winsock.h"

#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstring>

namespace fwu {

// Windows has the ICMP echo service for every user: no raw socket, no
// reply matching of our own; the service keeps the handle's requests apart.
IcmpSocket::IcmpSocket() {
  EnsureWinsock();
  fd_ = FromHandle(IcmpCreateFile());
}

IcmpSocket::~IcmpSocket() {
  if (fd_ >= 0) IcmpCloseHandle(ToHandle(fd_));
}

EchoResult IcmpSocket::Echo(const EchoRequest& request) {
  EchoResult result;
  if (fd_ < 0) {
    result.error = WSAENOTSOCK;
    return result;
  }
  IP_OPTION_INFORMATION options{};
  options.Ttl = request.ttl;
  options.Flags = request.dontFragment ? IP_FLAG_DF : 0;
  Bytes payload = request.payload;  // the call takes a writable buffer
  // Room for one reply with its echoed data, the error information the
  // service may add, and what its documentation asks beyond that.
  Bytes reply(sizeof(ICMP_ECHO_REPLY) + payload.size() + 8 + 64);
  const DWORD replies =
      IcmpSendEcho(ToHandle(fd_), htonl(request.address), payload.empty() ? nullptr : payload.data(),
                   static_cast<WORD>(payload.size()), &options, reply.data(), static_cast<DWORD>(reply.size()),
                   static_cast<DWORD>(std::max(request.timeoutMs, 0)));
  if (replies == 0) {
    result.error = static_cast<int>(GetLastError());
    return result;
  }
  ICMP_ECHO_REPLY first{};
  std::memcpy(&first, reply.data(), sizeof first);
  if (first.Status != IP_SUCCESS) {
    result.error = static_cast<int>(first.Status);
    return result;
  }
  result.replies = static_cast<int>(replies);
  return result;
}

}  // namespace fwu
