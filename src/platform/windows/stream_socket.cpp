#include "platform/stream_socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "platform/ipv4_address.h"
#include "platform/socket_address.h"
#include "platform/socket_error.h"
#include "platform/windows/winsock.h"

namespace fwu {

bool TStreamSocket::OpenNonBlocking() {
  Close();
  EnsureWinsock();
  fd_ = FromSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (fd_ < 0) return Fail();
  u_long nonBlocking = 1;
  if (ioctlsocket(ToSocket(fd_), FIONBIO, &nonBlocking) != 0) {
    Fail();
    Close();
    return false;
  }
  return true;
}

TStreamSocket::ConnectStart TStreamSocket::StartConnect(const std::string& dottedAddress, std::uint16_t port) {
  const auto address = ToSockaddr(dottedAddress, port);
  if (!address) {
    lastError_ = wsa::kInvalidArgument;
    return ConnectStart::Failed;
  }
  if (!OpenNonBlocking()) return ConnectStart::Failed;
  if (connect(ToSocket(fd_), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0) {
    return ConnectStart::Connected;
  }
  if (WSAGetLastError() == WSAEWOULDBLOCK) return ConnectStart::InProgress;
  Fail();
  return ConnectStart::Failed;
}

bool TStreamSocket::ConnectResult() {
  int pending = 0;
  int length = sizeof pending;
  if (getsockopt(ToSocket(fd_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &length) != 0) return Fail();
  if (pending == 0) return true;
  lastError_ = pending;
  return false;
}

bool TStreamSocket::ListenAnyPort(const std::string& dottedAddress) {
  const auto address = ParseDottedIpv4(dottedAddress);
  if (!address) {
    lastError_ = wsa::kInvalidArgument;
    return false;
  }
  return OpenNonBlocking() && BindAndListen(Ipv4Endpoint{*address, 0}, 1);
}

bool TStreamSocket::BindAndListen(const Ipv4Endpoint& local, int backlog) {
  const sockaddr_in address = ToSockaddr(local);
  if (bind(ToSocket(fd_), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(ToSocket(fd_), backlog) != 0) {
    return Fail();
  }
  return true;
}

// An accepted socket takes the listener's non-blocking mode on Windows.
std::optional<TStreamSocket> TStreamSocket::Accept() {
  const SOCKET client = accept(ToSocket(fd_), nullptr, nullptr);
  if (client == INVALID_SOCKET) {
    Fail();
    return std::nullopt;
  }
  return TStreamSocket(FromSocket(client));
}

// The socket is non-blocking, so the peek never waits.
bool TStreamSocket::PeerClosed() {
  char probe = 0;
  const int n = recv(ToSocket(fd_), &probe, 1, MSG_PEEK);
  return n == 0 || (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK && WSAGetLastError() != WSAEINTR);
}


}  // namespace fwu
