#include <utility>

#include "platform/socket_error.h"
#include "platform/tcp_socket.h"

// What is the same on every system: who owns a descriptor, and the calls
// that socket_calls.h already makes each system's own way.
namespace fwu {

TcpSocket::~TcpSocket() { Close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lastError_(other.lastError_) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    lastError_ = other.lastError_;
  }
  return *this;
}

bool TcpSocket::Fail() {
  lastError_ = LastSocketError();
  return false;
}

Readiness TcpSocket::Wait(SocketWants wants, int timeoutMs) {
  const Readiness seen = WaitForSocket(fd_, wants, timeoutMs);
  if (seen == Readiness::Failed) Fail();
  if (seen == Readiness::Interrupted) lastError_ = wsa::kInterrupted;
  return seen;
}

Readiness TcpSocket::WaitReadable(int timeoutMs) { return Wait(SocketWants::Read, timeoutMs); }
Readiness TcpSocket::WaitWritable(int timeoutMs) { return Wait(SocketWants::Write, timeoutMs); }

long TcpSocket::Send(const void* data, std::size_t length) {
  const long sent = SendOnSocket(fd_, data, length);
  if (sent < 0) Fail();
  return sent;
}

long TcpSocket::Receive(void* buffer, std::size_t capacity) {
  const long received = ReceiveOnSocket(fd_, buffer, capacity);
  if (received < 0) Fail();
  return received;
}

std::optional<PeerEndpoint> TcpSocket::Peer() const { return PeerEndpointOf(fd_); }

void TcpSocket::Close() {
  if (fd_ < 0) return;
  Shutdown();
  CloseSocket(std::exchange(fd_, -1));
}

void TcpSocket::CloseWithReset() {
  if (fd_ >= 0) CloseSocketWithReset(std::exchange(fd_, -1));
}

TcpListener::~TcpListener() { Close(); }

void TcpListener::Close() {
  if (fd_ >= 0) CloseSocket(std::exchange(fd_, -1));
  port_ = 0;
}

}  // namespace fwu
