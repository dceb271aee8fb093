#include "platform/wake_signal.h"

#include <stdexcept>

#include "platform/windows/winsock.h"

namespace fwu {

// Windows has no event descriptor that its socket wait also watches, so the
// signal is a loopback datagram socket connected to itself.
WakeSignal::WakeSignal() {
  EnsureWinsock();
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) throw std::runtime_error("wake-up socket failed");
  sockaddr_in self{};
  self.sin_family = AF_INET;
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof self;
  u_long nonBlocking = 1;
  if (bind(s, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&self), &length) != 0 ||
      connect(s, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0 ||
      ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
    closesocket(s);
    throw std::runtime_error("wake-up socket failed");
  }
  fd_ = FromSocket(s);
}

WakeSignal::~WakeSignal() { closesocket(ToSocket(fd_)); }

void WakeSignal::Raise() {
  const char one = 1;
  // A full queue already wakes the loop, so a failed send loses nothing.
  send(ToSocket(fd_), &one, 1, 0);
}

void WakeSignal::Drain() {
  char datagram[16];
  while (recv(ToSocket(fd_), datagram, sizeof datagram, 0) >= 0) {
  }
}

}  // namespace fwu
