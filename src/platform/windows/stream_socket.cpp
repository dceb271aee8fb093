#include "platform/stream_socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "platform/ipv4_address.h"
#include "platform/socket_address.h"
#include "platform/socket_error.h"
#include "platform/windows/winsock.h"

namespace fwu {

bool TStreamSocket::Fail() {
  lastError_ = WSAGetLastError();
  return false;
}

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

// select() rather than WSAPoll: a connection that failed shows in its
// exception set, and the caller then learns why from ConnectResult.
bool TStreamSocket::WaitFor(Wants wants, int ms) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(ToSocket(fd_), &ready);
  FD_SET(ToSocket(fd_), &failed);
  timeval limit{static_cast<long>(std::max(ms, 0) / 1000), static_cast<long>((std::max(ms, 0) % 1000) * 1000)};
  const int rc = select(0, wants == Wants::Read ? &ready : nullptr, wants == Wants::Read ? nullptr : &ready, &failed,
                        ms < 0 ? nullptr : &limit);
  if (rc == SOCKET_ERROR) {
    Fail();
    return true;
  }
  return rc > 0;
}

long TStreamSocket::Send(const void* data, std::size_t length) {
  const int sent = send(ToSocket(fd_), static_cast<const char*>(data),
                        static_cast<int>(std::min<std::size_t>(length, INT_MAX)), 0);
  if (sent == SOCKET_ERROR) {
    Fail();
    return -1;
  }
  return sent;
}

long TStreamSocket::Receive(void* buffer, std::size_t capacity) {
  const int received = ReceiveStream(ToSocket(fd_), buffer, capacity);
  if (received == SOCKET_ERROR) {
    Fail();
    return -1;
  }
  return received;
}

// The socket is non-blocking, so the peek never waits.
bool TStreamSocket::PeerClosed() {
  char probe = 0;
  const int n = recv(ToSocket(fd_), &probe, 1, MSG_PEEK);
  return n == 0 || (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK && WSAGetLastError() != WSAEINTR);
}

namespace {

// The socket's own end or its peer's, by the call given.
std::optional<PeerEndpoint> EndpointOf(int fd, int(WSAAPI* name)(SOCKET, sockaddr*, int*)) {
  sockaddr_in address{};
  int length = sizeof address;
  if (name(ToSocket(fd), reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::nullopt;
  return PeerEndpoint{FormatDottedIpv4(ntohl(address.sin_addr.s_addr)), ntohs(address.sin_port)};
}

}  // namespace

std::optional<PeerEndpoint> TStreamSocket::Local() const { return EndpointOf(fd_, getsockname); }
std::optional<PeerEndpoint> TStreamSocket::Peer() const { return EndpointOf(fd_, getpeername); }

void TStreamSocket::Close() {
  if (fd_ < 0) return;
  closesocket(ToSocket(fd_));
  fd_ = -1;
}

void TStreamSocket::CloseWithReset() {
  if (fd_ < 0) return;
  const linger abortive{1, 0};
  setsockopt(ToSocket(fd_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
  Close();
}

}  // namespace fwu
