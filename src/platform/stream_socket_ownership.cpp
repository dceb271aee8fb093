#include <utility>

#include "platform/stream_socket.h"

// Who owns a descriptor, the same on every system; the calls on it are each
// system's own.
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

}  // namespace fwu
