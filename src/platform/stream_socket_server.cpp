#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/port_reuse.h"
#include "platform/stream_socket.h"

// The server side of a non-blocking stream socket (a simulator's web
// server); accepted connections come non-blocking from Accept.
namespace fwu {

bool TStreamSocket::ListenOn(std::uint16_t port) {
  if (!OpenNonBlocking()) return false;
  AllowPortReuse(fd_);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd_, 16) != 0) {
    return Fail();
  }
  return true;
}

void TStreamSocket::ShutdownSending() {
  if (fd_ >= 0) shutdown(fd_, SHUT_WR);
}

}  // namespace fwu
