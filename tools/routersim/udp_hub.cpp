#include "udp_hub.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/event_loop.h"
#include "recorder.h"

namespace fwu {

UdpHub::UdpHub(EventLoop& loop, Recorder& record) : loop_(loop), record_(record) {}

UdpHub::~UdpHub() {
  for (auto& [number, port] : ports_) {
    loop_.Unwatch(port.watch);
    close(port.fd);
  }
}

std::string UdpHub::Listen(std::uint16_t port, Handler handler) {
  auto found = ports_.find(port);
  if (found != ports_.end()) {
    found->second.handlers.push_back(std::move(handler));
    return {};
  }
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::string("socket: ") + std::strerror(errno);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  // Probes arrive as limited broadcasts; answers may be broadcast too.
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    const std::string error = "bind UDP " + std::to_string(port) + ": " + std::strerror(errno);
    close(fd);
    return error;
  }
  Port& entry = ports_[port];
  entry.fd = fd;
  entry.handlers.push_back(std::move(handler));
  entry.watch = loop_.WatchFd(fd, EventLoop::Interest::Readable, [this, port] { ReadAll(port); });
  return {};
}

void UdpHub::ReadAll(std::uint16_t port) {
  Port& entry = ports_.at(port);
  Bytes& buffer = receiveBuffer_;
  for (;;) {
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t got = recvfrom(entry.fd, buffer.data(), buffer.size(), 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (got < 0) return;  // drained (or a transient error the next wake-up retries)
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    Datagram datagram{Bytes(buffer.begin(), buffer.begin() + got), text, ntohs(from.sin_port), port};
    bool claimed = false;
    for (const auto& handler : entry.handlers) {
      if (handler(datagram)) {
        claimed = true;
        break;
      }
    }
    if (!claimed) {
      record_.Line("udp port " + std::to_string(port) + " from " + datagram.fromAddress + ":" +
                   std::to_string(datagram.fromPort) + " len " + std::to_string(got) + " unclaimed");
    }
  }
}

bool UdpHub::Send(std::uint16_t localPort, const Bytes& payload, const std::string& address,
                  std::uint16_t port) {
  auto found = ports_.find(localPort);
  if (found == ports_.end()) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return false;
  const ssize_t sent = sendto(found->second.fd, payload.data(), payload.size(), 0,
                              reinterpret_cast<sockaddr*>(&to), sizeof to);
  return sent == static_cast<ssize_t>(payload.size());
}

}  // namespace fwu
