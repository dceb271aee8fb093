#include "platform/socket_calls.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "platform/ipv4_address.h"
#include "platform/windows/winsock.h"

namespace fwu {

// select() rather than WSAPoll: its exception set is where Windows reports
// urgent data and a connection that failed. No signal interrupts a Windows
// Sockets call, so nothing is restarted here.
Readiness WaitForSocket(int fd, SocketWants wants, int timeoutMs) {
  const SOCKET s = ToSocket(fd);
  fd_set wanted;
  fd_set failed;
  FD_ZERO(&wanted);
  FD_ZERO(&failed);
  FD_SET(s, &wanted);
  FD_SET(s, &failed);
  const int limitMs = std::max(timeoutMs, 0);
  timeval limit{static_cast<long>(limitMs / 1000), static_cast<long>((limitMs % 1000) * 1000)};
  const bool read = wants == SocketWants::Read;
  const int rc = select(0, read ? &wanted : nullptr, read ? nullptr : &wanted, &failed, timeoutMs < 0 ? nullptr : &limit);
  if (rc == SOCKET_ERROR) return Readiness::Failed;
  if (rc == 0) return Readiness::TimedOut;
  if (FD_ISSET(s, &failed)) return Readiness::Exceptional;
  // A reset or a closed peer shows as readable: the next call tells why.
  return FD_ISSET(s, &wanted) ? Readiness::Ready : Readiness::NotInSet;
}

long SendOnSocket(int fd, const void* data, std::size_t length) {
  const int sent =
      send(ToSocket(fd), static_cast<const char*>(data), static_cast<int>(std::min<std::size_t>(length, INT_MAX)), 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

long ReceiveOnSocket(int fd, void* buffer, std::size_t capacity) {
  const int received = ReceiveStream(ToSocket(fd), buffer, capacity);
  return received == SOCKET_ERROR ? -1 : received;
}

namespace {

std::optional<PeerEndpoint> EndpointOf(int fd, int(WSAAPI* name)(SOCKET, sockaddr*, int*)) {
  sockaddr_in address{};
  int length = sizeof address;
  if (name(ToSocket(fd), reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::nullopt;
  return PeerEndpoint{FormatDottedIpv4(ntohl(address.sin_addr.s_addr)), ntohs(address.sin_port)};
}

}  // namespace

std::optional<PeerEndpoint> LocalEndpoint(int fd) { return EndpointOf(fd, getsockname); }
std::optional<PeerEndpoint> PeerEndpointOf(int fd) { return EndpointOf(fd, getpeername); }

void CloseSocket(int fd) { closesocket(ToSocket(fd)); }

void CloseSocketWithReset(int fd) {
  const linger abortive{1, 0};
  setsockopt(ToSocket(fd), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
  closesocket(ToSocket(fd));
}

}  // namespace fwu
