#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <vector>

#include "platform/ipv4_address.h"
#include "platform/network_interfaces.h"

namespace fwu {

// One IPv4 UDP socket as the operating system offers it. Every call returns
// 0 or the Windows Sockets number of its failure, so the components above
// report the numbers their messages are written for. The interface exists
// so that the search can be tested against a scripted network.
class DatagramEndpoint {
 public:
  virtual ~DatagramEndpoint() = default;

  // A non-blocking socket: reads never wait.
  virtual int Create() = 0;
  virtual int Bind(const Ipv4Endpoint& local) = 0;
  virtual int BoundPort(std::uint16_t& port) = 0;
  virtual int EnableBroadcast() = 0;
  virtual int SendTo(const Ipv4Endpoint& to, std::span<const std::uint8_t> data, std::size_t& sent) = 0;
  // The interfaces a datagram can be sent out of by SendToVia.
  virtual std::vector<NetworkInterface> Interfaces() const = 0;
  // One datagram out of the given interface with its address as source,
  // whatever the routing table holds: a broadcast reaches that interface's
  // link, a unicast address no route knows is taken to be on that link.
  virtual int SendToVia(const Ipv4Endpoint& to, const NetworkInterface& via, std::span<const std::uint8_t> data,
                        std::size_t& sent) = 0;
  // Takes one waiting datagram. Nothing waiting: would-block. A datagram
  // larger than the buffer: message-too-long, and the datagram is gone.
  virtual int ReceiveFrom(std::span<std::uint8_t> buffer, std::size_t& received, Ipv4Endpoint& sender) = 0;
  virtual void Close() = 0;
  virtual bool IsCreated() const = 0;
  // The system's own words for the last failure.
  virtual std::string LastErrorDescription() const = 0;
};

}  // namespace fwu
