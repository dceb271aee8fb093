#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/udp_socket.h"

namespace fwu {

class EventLoop;
class Recorder;

struct Datagram {
  Bytes payload;
  std::string fromAddress;  // dotted IPv4
  std::uint16_t fromPort = 0;
  std::uint16_t localPort = 0;
};

// The router's UDP ports. One socket per port, bound to 0.0.0.0 with
// broadcast enabled; each datagram goes to the port's handlers in the order
// they were added until one claims it, so services can share a port.
class UdpHub {
 public:
  // Returns true when the handler took the datagram.
  using Handler = std::function<bool(const Datagram&)>;

  UdpHub(EventLoop& loop, Recorder& record);
  ~UdpHub();
  UdpHub(const UdpHub&) = delete;
  UdpHub& operator=(const UdpHub&) = delete;

  // Returns an error text, empty on success.
  std::string Listen(std::uint16_t port, Handler handler);

  // Sends from the given local port's socket, so that the answer carries the
  // port the probe went to. False when the port is not open or send fails.
  bool Send(std::uint16_t localPort, const Bytes& payload, const std::string& address,
            std::uint16_t port);

 private:
  struct Port {
    std::unique_ptr<UdpSocket> socket;
    int watch = 0;
    std::vector<Handler> handlers;
  };
  void ReadAll(std::uint16_t port);

  EventLoop& loop_;
  Recorder& record_;
  std::map<std::uint16_t, Port> ports_;
  // One buffer for every read: a TFTP transfer wakes the hub once per block,
  // and clearing 64 KB each time would cost more than the datagram.
  Bytes receiveBuffer_ = Bytes(65536);
};

}  // namespace fwu
