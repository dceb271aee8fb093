#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/datagram_endpoint.h"

namespace fwu::testing {

// A LAN of scripted devices behind one UDP socket. A datagram sent to a
// device's address (or to the broadcast address, when broadcast is allowed,
// as the kernel insists) queues that device's answers for the port, to be
// read back with the same rules as the real socket.
class FakeDatagramNetwork final : public DatagramEndpoint {
 public:
  struct Sent {
    Ipv4Endpoint to;
    Bytes data;
    std::uint16_t localPort;
    bool broadcastAllowed;
    Ipv4 source;  // the interface's address; any-address when routed
  };

  std::vector<Sent> sent;
  std::vector<NetworkInterface> interfaces{{"eth0", 2, 0xC0A80964u}};  // 192.168.9.100
  int binds = 0;
  int failBindWith = 0;
  std::uint16_t failBindOnlyOnPort = 0;  // with failBindWith: other ports bind
  int failSendWith = 0;
  bool noDefaultRoute = false;  // routed sends fail as unreachable

  // The device answers datagrams to port that begin with probePrefix. With
  // a link (an interface's address) it hears only what leaves by that one.
  void Respond(const std::string& device, std::uint16_t port, Bytes answer, Bytes probePrefix = {},
               Ipv4 link = kAnyIpv4) {
    responders_.push_back({*ParseDottedIpv4(device), port, std::move(answer), std::move(probePrefix), link});
  }

  int Create() override {
    created_ = true;
    broadcast_ = false;
    return 0;
  }
  int Bind(const Ipv4Endpoint& local) override {
    ++binds;
    if (failBindWith != 0 && (failBindOnlyOnPort == 0 || local.port == failBindOnlyOnPort)) return failBindWith;
    localPort_ = local.port != 0 ? local.port : static_cast<std::uint16_t>(40000 + binds);
    return 0;
  }
  int BoundPort(std::uint16_t& port) override {
    port = localPort_;
    return 0;
  }
  int EnableBroadcast() override {
    broadcast_ = true;
    return 0;
  }
  int SendTo(const Ipv4Endpoint& to, std::span<const std::uint8_t> data, std::size_t& count) override {
    if (noDefaultRoute) return 10051;
    return Deliver(to, data, kAnyIpv4, count);
  }
  std::vector<NetworkInterface> Interfaces() const override { return interfaces; }
  int SendToVia(const Ipv4Endpoint& to, const NetworkInterface& via, std::span<const std::uint8_t> data,
                std::size_t& count) override {
    return Deliver(to, data, via.address, count);
  }
  int ReceiveFrom(std::span<std::uint8_t> buffer, std::size_t& received, Ipv4Endpoint& sender) override {
    if (queue_.empty()) return 10035;
    const Queued next = queue_.front();
    queue_.pop_front();
    sender = {next.from, 0};
    if (next.data.size() > buffer.size()) return 10040;
    std::copy(next.data.begin(), next.data.end(), buffer.begin());
    received = next.data.size();
    return 0;
  }
  void Close() override {
    created_ = false;
    queue_.clear();
  }
  bool IsCreated() const override { return created_; }
  std::string LastErrorDescription() const override { return "scripted failure"; }

 private:
  int Deliver(const Ipv4Endpoint& to, std::span<const std::uint8_t> data, Ipv4 source, std::size_t& count) {
    if (failSendWith != 0) return failSendWith;
    if (to.address == kBroadcastIpv4 && !broadcast_) return 10013;
    sent.push_back({to, Bytes(data.begin(), data.end()), localPort_, broadcast_, source});
    for (const Responder& r : responders_) {
      const bool prefixMatches = data.size() >= r.probePrefix.size() &&
                                 std::equal(r.probePrefix.begin(), r.probePrefix.end(), data.begin());
      const bool onLink = r.link == kAnyIpv4 || r.link == source;
      if (r.port == to.port && prefixMatches && onLink && (to.address == kBroadcastIpv4 || to.address == r.device)) {
        queue_.push_back({r.device, r.answer});
      }
    }
    count = data.size();
    return 0;
  }

  struct Responder {
    Ipv4 device;
    std::uint16_t port;
    Bytes answer;
    Bytes probePrefix;
    Ipv4 link;
  };
  struct Queued {
    Ipv4 from;
    Bytes data;
  };
  std::vector<Responder> responders_;
  std::deque<Queued> queue_;
  bool created_ = false;
  bool broadcast_ = false;
  std::uint16_t localPort_ = 0;
};

}  // namespace fwu::testing
