#include "platform/socket_calls.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/ipv4_address.h"
#include "platform/posix_socket_calls.h"

namespace fwu {

Readiness WaitForSocket(int fd, SocketWants wants, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const short events = wants == SocketWants::Read ? POLLIN : POLLOUT;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd entry{fd, static_cast<short>(events | POLLPRI), 0};
  int left = timeoutMs;
  int rc;
  while (posix::Restart(rc = poll(&entry, 1, left))) {
    if (timeoutMs < 0) continue;
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    left = remaining > 0 ? static_cast<int>(remaining) : 0;
  }
  if (rc < 0) return errno == EINTR ? Readiness::Interrupted : Readiness::Failed;
  if (rc == 0) return Readiness::TimedOut;
  // Urgent data is what the Windows Sockets exception set reports.
  if (entry.revents & POLLPRI) return Readiness::Exceptional;
  // An error or hang-up makes the next call fail with the real reason.
  if (entry.revents & (events | POLLERR | POLLHUP)) return Readiness::Ready;
  return Readiness::NotInSet;
}

long SendOnSocket(int fd, const void* data, std::size_t length) {
  ssize_t sent;
  do {
    sent = send(fd, data, length, MSG_NOSIGNAL);
  } while (posix::Restart(sent));
  return static_cast<long>(sent);
}

long ReceiveOnSocket(int fd, void* buffer, std::size_t capacity) {
  ssize_t received;
  do {
    received = recv(fd, buffer, capacity, 0);
  } while (posix::Restart(received));
  return static_cast<long>(received);
}

namespace {

std::optional<PeerEndpoint> EndpointOf(int fd, int (*name)(int, sockaddr*, socklen_t*)) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (name(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::nullopt;
  return PeerEndpoint{FormatDottedIpv4(ntohl(address.sin_addr.s_addr)), ntohs(address.sin_port)};
}

}  // namespace

std::optional<PeerEndpoint> LocalEndpoint(int fd) { return EndpointOf(fd, getsockname); }
std::optional<PeerEndpoint> PeerEndpointOf(int fd) { return EndpointOf(fd, getpeername); }

void CloseSocket(int fd) { close(fd); }

void CloseSocketWithReset(int fd) {
  const linger abortive{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  close(fd);
}

}  // namespace fwu
