#include "platform/stream_socket.h"
#include "platform/windows/winsock.h"

// The server side of a non-blocking stream socket (a simulator's web
// server); accepted connections take the listener's non-blocking mode.
namespace fwu {

// No address reuse: Windows frees a closed port at once (port_reuse.h).
bool TStreamSocket::ListenOn(std::uint16_t port) {
  if (!OpenNonBlocking()) return false;
  return BindAndListen(Ipv4Endpoint{kAnyIpv4, port}, 16);
}

void TStreamSocket::ShutdownSending() {
  if (fd_ >= 0) shutdown(ToSocket(fd_), SD_SEND);
}

}  // namespace fwu
