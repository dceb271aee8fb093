#include "platform/tcp_socket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <pthread.h>
#include <signal.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/binary_file.h"
#include "platform/posix_socket_calls.h"
#include "platform/socket_address.h"
#include "platform/socket_error.h"

namespace fwu {
namespace {

bool SetBlocking(int fd, bool blocking) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

}  // namespace

bool TcpSocket::Create() {
  Close();
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd_ < 0) return Fail();
  return true;
}

bool TcpSocket::BindTo(const std::string& dottedAddress) {
  const auto address = ToSockaddr(dottedAddress, 0);
  if (!address) {
    lastError_ = WinsockErrorFromErrno(EINVAL);
    return false;
  }
  return bind(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 || Fail();
}

bool TcpSocket::Connect(const std::string& dottedAddress, std::uint16_t port, int timeoutMs) {
  const auto address = ToSockaddr(dottedAddress, port);
  if (!address) {
    lastError_ = WinsockErrorFromErrno(EINVAL);
    return false;
  }
  if (!Valid()) {
    lastError_ = WinsockErrorFromErrno(EBADF);
    return false;
  }
  if (!SetBlocking(fd_, false)) return Fail();
  if (connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
    if (errno != EINPROGRESS) return Fail();
    const Readiness seen = Wait(SocketWants::Write, timeoutMs);
    if (seen == Readiness::Failed || seen == Readiness::Interrupted) return false;
    if (seen == Readiness::TimedOut) {
      lastError_ = wsa::kTimedOut;
      return false;
    }
    int pending = 0;
    socklen_t length = sizeof pending;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &pending, &length) != 0) return Fail();
    if (pending != 0) {
      lastError_ = WinsockErrorFromErrno(pending);
      return false;
    }
  }
  if (!SetBlocking(fd_, true)) return Fail();
  return true;
}

bool TcpSocket::SetIoTimeout(int ms) {
  timeval limit{};
  limit.tv_sec = ms / 1000;
  limit.tv_usec = (ms % 1000) * 1000;
  if (setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0) return Fail();
  if (setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0) return Fail();
  return true;
}

long TcpSocket::SendFrom(const ReadOnlyFile& file, std::uint64_t offset, std::size_t length) {
  // sendfile(2) knows no MSG_NOSIGNAL: the signal a closed peer raises is
  // held back for this thread and taken away again.
  sigset_t brokenPipe;
  sigset_t previous;
  sigemptyset(&brokenPipe);
  sigaddset(&brokenPipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &brokenPipe, &previous);
  auto position = static_cast<off_t>(offset);
  ssize_t sent;
  do {
    sent = sendfile(fd_, file.fd_, &position, length);
  } while (posix::Restart(sent));
  const int error = errno;
  // Raised also when the call still returns what it sent before the peer
  // went (a socket shut down under it), so look whatever the result.
  sigset_t pending;
  if (sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
    const timespec noWait{};
    sigtimedwait(&brokenPipe, nullptr, &noWait);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  // Nothing taken of a length asked for: the file is shorter than it was.
  errno = sent == 0 && length > 0 ? EIO : error;
  if (sent <= 0 && length > 0) {
    Fail();
    return -1;
  }
  return static_cast<long>(sent);
}

void TcpSocket::Shutdown() {
  if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);
}

bool TcpListener::Listen(const std::string& dottedAddress, std::uint16_t port) {
  Close();
  const auto address = ToSockaddr(dottedAddress, port);
  if (!address) return false;
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd_ < 0) return false;
  const int reuse = 1;
  setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  if (bind(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 || listen(fd_, 16) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
    Close();
    return false;
  }
  port_ = ntohs(bound.sin_port);
  return true;
}

std::optional<TcpSocket> TcpListener::Accept(int timeoutMs) {
  if (fd_ < 0) return std::nullopt;
  if (WaitForSocket(fd_, SocketWants::Read, timeoutMs) != Readiness::Ready) return std::nullopt;
  const int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return std::nullopt;
  return TcpSocket(client);
}

}  // namespace fwu
