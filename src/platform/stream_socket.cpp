#include "platform/stream_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/socket_address.h"
#include "platform/socket_error.h"

namespace fwu {

bool TStreamSocket::OpenNonBlocking() {
  Close();
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  return fd_ >= 0 || Fail();
}

TStreamSocket::ConnectStart TStreamSocket::StartConnect(const std::string& dottedAddress, std::uint16_t port) {
  const auto address = ToSockaddr(dottedAddress, port);
  if (!address) {
    lastError_ = WinsockErrorFromErrno(EINVAL);
    return ConnectStart::Failed;
  }
  if (!OpenNonBlocking()) return ConnectStart::Failed;
  if (connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) return ConnectStart::Connected;
  if (errno == EINPROGRESS) return ConnectStart::InProgress;
  Fail();
  return ConnectStart::Failed;
}

bool TStreamSocket::ConnectResult() {
  int pending = 0;
  socklen_t length = sizeof pending;
  if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &pending, &length) != 0) return Fail();
  if (pending == 0) return true;
  lastError_ = WinsockErrorFromErrno(pending);
  return false;
}

bool TStreamSocket::ListenAnyPort(const std::string& dottedAddress) {
  const auto address = ParseDottedIpv4(dottedAddress);
  if (!address) {
    lastError_ = WinsockErrorFromErrno(EINVAL);
    return false;
  }
  return OpenNonBlocking() && BindAndListen(Ipv4Endpoint{*address, 0}, 1);
}

bool TStreamSocket::BindAndListen(const Ipv4Endpoint& local, int backlog) {
  const sockaddr_in address = ToSockaddr(local);
  if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd_, backlog) != 0) {
    return Fail();
  }
  return true;
}

std::optional<TStreamSocket> TStreamSocket::Accept() {
  const int client = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (client < 0) {
    Fail();
    return std::nullopt;
  }
  return TStreamSocket(client);
}

bool TStreamSocket::PeerClosed() {
  char probe = 0;
  const ssize_t n = recv(fd_, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
  return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

}  // namespace fwu
