#include <utility>

#include "platform/stream_socket.h"

// What is the same on every system: who owns a descriptor, and reading
// until nothing is left; the calls on the descriptor are each system's own.
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

bool TStreamSocket::DiscardPending() {
  char scratch[4096];
  for (;;) {
    const long n = Receive(scratch, sizeof scratch);
    if (n == 0) return false;
    if (n < 0) return true;
  }
}

}  // namespace fwu
