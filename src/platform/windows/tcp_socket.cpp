#include "platform/tcp_socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/binary_file.h"
#include "platform/ipv4_address.h"
#include "platform/socket_address.h"
#include "platform/socket_error.h"
#include "platform/windows/winsock.h"

namespace fwu {
namespace {

bool SetBlocking(SOCKET s, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

timeval Limit(int timeoutMs) {
  return timeval{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
}

// select() rather than WSAPoll: its exception set is where Windows reports
// urgent data and a connection that failed, which is what the callers ask.
// Returns the count of ready sets, 0 on a time-out, SOCKET_ERROR on failure.
int SelectOne(SOCKET s, bool read, bool write, int timeoutMs, bool& inSet, bool& exceptional) {
  fd_set wanted;
  fd_set failed;
  FD_ZERO(&wanted);
  FD_ZERO(&failed);
  FD_SET(s, &wanted);
  FD_SET(s, &failed);
  timeval limit = Limit(std::max(timeoutMs, 0));
  const int rc = select(0, read ? &wanted : nullptr, write ? &wanted : nullptr, &failed,
                        timeoutMs < 0 ? nullptr : &limit);
  inSet = rc > 0 && FD_ISSET(s, &wanted);
  exceptional = rc > 0 && FD_ISSET(s, &failed);
  return rc;
}

}  // namespace

bool TcpSocket::Fail() {
  lastError_ = WSAGetLastError();
  return false;
}

bool TcpSocket::Create() {
  Close();
  EnsureWinsock();
  fd_ = FromSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (fd_ < 0) return Fail();
  return true;
}

bool TcpSocket::BindTo(const std::string& dottedAddress) {
  const auto address = ToSockaddr(dottedAddress, 0);
  if (!address) {
    lastError_ = wsa::kInvalidArgument;
    return false;
  }
  return bind(ToSocket(fd_), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 || Fail();
}

bool TcpSocket::Connect(const std::string& dottedAddress, std::uint16_t port, int timeoutMs) {
  const auto address = ToSockaddr(dottedAddress, port);
  if (!address) {
    lastError_ = wsa::kInvalidArgument;
    return false;
  }
  if (!Valid()) {
    lastError_ = wsa::kNotSocket;
    return false;
  }
  const SOCKET s = ToSocket(fd_);
  if (!SetBlocking(s, false)) return Fail();
  if (connect(s, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) return Fail();
    bool connected = false;
    bool failed = false;
    const int rc = SelectOne(s, false, true, timeoutMs, connected, failed);
    if (rc == SOCKET_ERROR) return Fail();
    if (rc == 0) {
      lastError_ = wsa::kTimedOut;
      return false;
    }
    int pending = 0;
    int length = sizeof pending;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &length) != 0) return Fail();
    if (pending != 0 || !connected) {
      lastError_ = pending != 0 ? pending : wsa::kConnectionRefused;
      return false;
    }
  }
  if (!SetBlocking(s, true)) return Fail();
  return true;
}

bool TcpSocket::SetIoTimeout(int ms) {
  const DWORD limit = static_cast<DWORD>(std::max(ms, 0));
  const char* value = reinterpret_cast<const char*>(&limit);
  if (setsockopt(ToSocket(fd_), SOL_SOCKET, SO_SNDTIMEO, value, sizeof limit) != 0) return Fail();
  if (setsockopt(ToSocket(fd_), SOL_SOCKET, SO_RCVTIMEO, value, sizeof limit) != 0) return Fail();
  return true;
}

Readiness TcpSocket::Wait(short events, int timeoutMs) {
  bool inSet = false;
  bool exceptional = false;
  const int rc = SelectOne(ToSocket(fd_), events == POLLIN, events == POLLOUT, timeoutMs, inSet, exceptional);
  if (rc == SOCKET_ERROR) {
    Fail();
    return Readiness::Failed;
  }
  if (rc == 0) return Readiness::TimedOut;
  if (exceptional) return Readiness::Exceptional;
  // A reset or a closed peer shows as readable: the next call tells why.
  return inSet ? Readiness::Ready : Readiness::NotInSet;
}

Readiness TcpSocket::WaitReadable(int timeoutMs) { return Wait(POLLIN, timeoutMs); }
Readiness TcpSocket::WaitWritable(int timeoutMs) { return Wait(POLLOUT, timeoutMs); }

long TcpSocket::Send(const void* data, std::size_t length) {
  const int chunk = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
  const int sent = send(ToSocket(fd_), static_cast<const char*>(data), chunk, 0);
  if (sent == SOCKET_ERROR) {
    Fail();
    return -1;
  }
  return sent;
}

// Winsock's own file sending wants overlapped sockets, so the file passes
// through a buffer, one per thread and kept. Each send costs Wine a trip to
// its server, so a piece is as large as the callers hand out (64 KB pieces
// gave a third of the throughput).
long TcpSocket::SendFrom(const ReadOnlyFile& file, std::uint64_t offset, std::size_t length) {
  static constexpr std::size_t kChunk = 1024 * 1024;
  thread_local std::vector<std::uint8_t> buffer(kChunk);
  const std::size_t chunk = std::min(length, kChunk);
  if (!file.ReadAt(offset, buffer.data(), chunk)) {
    // The file is shorter than it was.
    lastError_ = ERROR_HANDLE_EOF;
    return -1;
  }
  return Send(buffer.data(), chunk);
}

long TcpSocket::Receive(void* buffer, std::size_t capacity) {
  const int received = ReceiveStream(ToSocket(fd_), buffer, capacity);
  if (received == SOCKET_ERROR) {
    Fail();
    return -1;
  }
  return received;
}

std::optional<PeerEndpoint> TcpSocket::Peer() const {
  sockaddr_in address{};
  int length = sizeof address;
  if (getpeername(ToSocket(fd_), reinterpret_cast<sockaddr*>(&address), &length) != 0) return std::nullopt;
  return PeerEndpoint{FormatDottedIpv4(ntohl(address.sin_addr.s_addr)), ntohs(address.sin_port)};
}

void TcpSocket::CloseWithReset() {
  if (fd_ < 0) return;
  const linger abortive{1, 0};
  setsockopt(ToSocket(fd_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
  closesocket(ToSocket(fd_));
  fd_ = -1;
}

void TcpSocket::Close() {
  if (fd_ < 0) return;
  Shutdown();
  closesocket(ToSocket(fd_));
  fd_ = -1;
}

// Another thread's blocking send waiting for room does not return at the
// shutdown (under Wine it sat out the whole send time-out, so Ctrl+C took a
// minute mid-upload); cancelling the socket's pending I/O ends it at once.
void TcpSocket::Shutdown() {
  if (fd_ < 0) return;
  shutdown(ToSocket(fd_), SD_BOTH);
  CancelIoEx(reinterpret_cast<HANDLE>(ToSocket(fd_)), nullptr);
}

// No SO_REUSEADDR: on Windows it would let a second socket take a port that
// is in use, and a closed port is free again at once anyway.
bool TcpListener::Listen(const std::string& dottedAddress, std::uint16_t port) {
  Close();
  const auto address = ToSockaddr(dottedAddress, port);
  if (!address) return false;
  EnsureWinsock();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  fd_ = FromSocket(s);
  sockaddr_in bound{};
  int length = sizeof bound;
  if (bind(s, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 || listen(s, 16) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
    Close();
    return false;
  }
  port_ = ntohs(bound.sin_port);
  return true;
}

std::optional<TcpSocket> TcpListener::Accept(int timeoutMs) {
  if (fd_ < 0) return std::nullopt;
  bool ready = false;
  bool failed = false;
  if (SelectOne(ToSocket(fd_), true, false, timeoutMs, ready, failed) <= 0 || !ready) return std::nullopt;
  const SOCKET client = accept(ToSocket(fd_), nullptr, nullptr);
  if (client == INVALID_SOCKET) return std::nullopt;
  return TcpSocket(FromSocket(client));
}

void TcpListener::Close() {
  if (fd_ < 0) return;
  closesocket(ToSocket(fd_));
  fd_ = -1;
  port_ = 0;
}

}  // namespace fwu
