#pragma once

#include <chrono>
#include <vector>

#include <gtest/gtest.h>

#include "platform/bytes.h"
#include "platform/descriptor_wait.h"
#include "platform/udp_socket.h"

namespace fwu {

inline const Ipv4 kLoopback = *ParseDottedIpv4("127.0.0.1");

// Waits until a datagram is there for the socket's next non-blocking read,
// however slowly it is delivered; a datagram lost fails the wait after two
// seconds instead of hanging the test.
inline bool WaitUntilReadable(const UdpSocket& socket) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  std::vector<DescriptorWait> wait{{socket.Descriptor()}};
  while (std::chrono::steady_clock::now() < deadline) {
    if (WaitForDescriptors(wait, 100)) return true;
  }
  return false;
}

// Two sockets on 127.0.0.1: the one under test and a peer that sends to it.
struct LoopbackPair {
  UdpSocket socket;
  UdpSocket peer;
  std::uint16_t port = 0;

  LoopbackPair() {
    EXPECT_EQ(socket.Create(), 0);
    EXPECT_EQ(socket.Bind({kLoopback, 0}), 0);
    EXPECT_EQ(socket.BoundPort(port), 0);
    EXPECT_EQ(peer.Create(), 0);
    EXPECT_EQ(peer.Bind({kLoopback, 0}), 0);
  }
  void PeerSends(std::size_t length, std::uint8_t fill) {
    const Bytes data(length, fill);
    std::size_t sent = 0;
    ASSERT_EQ(peer.SendTo({kLoopback, port}, data, sent), 0);
    ASSERT_EQ(sent, length);
  }
};

}  // namespace fwu
