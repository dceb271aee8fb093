#include "platform/stream_socket.h"
#include "platform/windows/winsock.h"

// The server side of a non-blocking stream socket (a simulator's web
// server); accepted connections take the listener's non-blocking mode.
namespace fwu {

// No address reuse: Windows frees a closed port at once (port_reuse.h).
bool TStreamSocket::ListenOn(std::uint16_t port) {
  if (!OpenNonBlocking()) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (bind(ToSocket(fd_), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(ToSocket(fd_), 16) != 0) {
    return Fail();
  }
  return true;
}

void TStreamSocket::ShutdownSending() {
  if (fd_ >= 0) shutdown(ToSocket(fd_), SD_SEND);
}

}  // namespace fwu
