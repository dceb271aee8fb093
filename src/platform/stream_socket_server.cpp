#include <sys/socket.h>

#include "platform/port_reuse.h"
#include "platform/stream_socket.h"

// The server side of a non-blocking stream socket (a simulator's web
// server); accepted connections come non-blocking from Accept.
namespace fwu {

bool TStreamSocket::ListenOn(std::uint16_t port) {
  if (!OpenNonBlocking()) return false;
  AllowPortReuse(fd_);
  return BindAndListen(Ipv4Endpoint{kAnyIpv4, port}, 16);
}

void TStreamSocket::ShutdownSending() {
  if (fd_ >= 0) shutdown(fd_, SHUT_WR);
}

}  // namespace fwu
