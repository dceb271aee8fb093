#include <utility>

#include "platform/tcp_socket.h"

// Who owns a descriptor, the same on every system; the calls on it are each
// system's own.
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

TcpListener::~TcpListener() { Close(); }

}  // namespace fwu
