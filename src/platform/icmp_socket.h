#pragma once

#include <cstdint>

#include "platform/echo_service.h"

namespace fwu {

// ICMP echo over a Linux "ping" socket (SOCK_DGRAM, IPPROTO_ICMP) where
// net.ipv4.ping_group_range lets this process have one, else over a raw
// socket (needs CAP_NET_RAW).
class IcmpSocket final : public EchoService {
 public:
  IcmpSocket();
  ~IcmpSocket() override;
  IcmpSocket(const IcmpSocket&) = delete;
  IcmpSocket& operator=(const IcmpSocket&) = delete;

  bool Ready() const override { return fd_ >= 0; }
  ResolvedHost Resolve(const std::string& host) override { return ResolveHostIpv4(host); }
  EchoResult Echo(const EchoRequest& request) override;

  bool UsesRawSocket() const { return raw_; }

 private:
  // True when the datagram in reply (as read from the socket) answers the
  // request with this sequence number sent to address.
  bool IsOurReply(const Bytes& reply, std::size_t length, Ipv4 from, Ipv4 address, std::uint16_t sequence) const;

  int fd_ = -1;
  bool raw_ = false;
  std::uint16_t identifier_ = 0;
  std::uint16_t sequence_ = 0;
};

}  // namespace fwu
