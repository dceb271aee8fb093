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

}  // namespace

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
    // A connection that failed shows in the exception set.
    const Readiness seen = Wait(SocketWants::Write, timeoutMs);
    if (seen == Readiness::Failed || seen == Readiness::Interrupted) return false;
    if (seen == Readiness::TimedOut) {
      lastError_ = wsa::kTimedOut;
      return false;
    }
    const bool connected = seen == Readiness::Ready;
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
  if (WaitForSocket(fd_, SocketWants::Read, timeoutMs) != Readiness::Ready) return std::nullopt;
  const SOCKET client = accept(ToSocket(fd_), nullptr, nullptr);
  if (client == INVALID_SOCKET) return std::nullopt;
  return TcpSocket(FromSocket(client));
}

}  // namespace fwu
