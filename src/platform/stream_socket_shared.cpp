#include <utility>

#include "platform/socket_error.h"
#include "platform/stream_socket.h"

// What is the same on every system: who owns a descriptor, reading until
// nothing is left, and the calls that socket_calls.h already makes each
// system's own way.
namespace fwu {

TStreamSocket::~TStreamSocket() { Close(); }

TStreamSocket::TStreamSocket(TStreamSocket&& other) noexcept { Swap(other); }

TStreamSocket& TStreamSocket::operator=(TStreamSocket&& other) noexcept {
  TStreamSocket taken(std::move(other));
  Swap(taken);
  return *this;
}

void TStreamSocket::Swap(TStreamSocket& other) noexcept {
  std::swap(fd_, other.fd_);
  std::swap(lastError_, other.lastError_);
}

bool TStreamSocket::Fail() {
  lastError_ = LastSocketError();
  return false;
}

bool TStreamSocket::WaitFor(Wants wants, int ms) {
  switch (WaitForSocket(fd_, wants, ms)) {
    case Readiness::TimedOut:
    case Readiness::Interrupted:
      return false;
    case Readiness::Failed:
      Fail();
      return true;
    default:
      // Ready, or something the next call reports (a failed connection).
      return true;
  }
}

long TStreamSocket::Send(const void* data, std::size_t length) {
  const long sent = SendOnSocket(fd_, data, length);
  if (sent < 0) Fail();
  return sent;
}

long TStreamSocket::Receive(void* buffer, std::size_t capacity) {
  const long received = ReceiveOnSocket(fd_, buffer, capacity);
  if (received < 0) Fail();
  return received;
}

bool TStreamSocket::DiscardPending() {
  char scratch[4096];
  for (;;) {
    const long n = Receive(scratch, sizeof scratch);
    if (n == 0) return false;
    if (n < 0) return true;
  }
}

std::optional<PeerEndpoint> TStreamSocket::Local() const { return LocalEndpoint(fd_); }
std::optional<PeerEndpoint> TStreamSocket::Peer() const { return PeerEndpointOf(fd_); }

void TStreamSocket::Close() {
  if (fd_ >= 0) CloseSocket(std::exchange(fd_, -1));
}

void TStreamSocket::CloseWithReset() {
  if (fd_ >= 0) CloseSocketWithReset(std::exchange(fd_, -1));
}

}  // namespace fwu
