#pragma once

#include "platform/datagram_endpoint.h"

namespace fwu {

class UdpSocket final : public DatagramEndpoint {
 public:
  UdpSocket() = default;
  ~UdpSocket() override;
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;

  int Create() override;
  int Bind(const Ipv4Endpoint& local) override;
  int BoundPort(std::uint16_t& port) override;
  int EnableBroadcast() override;
  int SendTo(const Ipv4Endpoint& to, std::span<const std::uint8_t> data, std::size_t& sent) override;
  std::vector<NetworkInterface> Interfaces() const override { return BroadcastInterfaces(); }
  int SendToVia(const Ipv4Endpoint& to, const NetworkInterface& via, std::span<const std::uint8_t> data,
                std::size_t& sent) override;
  int ReceiveFrom(std::span<std::uint8_t> buffer, std::size_t& received, Ipv4Endpoint& sender) override;
  void Close() override;
  bool IsCreated() const override { return fd_ >= 0; }
  std::string LastErrorDescription() const override { return lastDescription_; }

  int Descriptor() const { return fd_; }
  // Whether the system lets this socket send to broadcast addresses.
  bool BroadcastEnabled() const;

 private:
  // Records errno's text and returns its Windows Sockets number.
  int Fail();

  int fd_ = -1;
  std::string lastDescription_;
};

}  // namespace fwu
