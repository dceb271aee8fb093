#pragma once

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/bytes.h"
#include "platform/udp_socket.h"

namespace fwu {

inline const Ipv4 kLoopback = *ParseDottedIpv4("127.0.0.1");

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
  // Loopback delivery is immediate in practice; a short sleep keeps the
  // non-blocking reads below from racing it.
  static void LetItArrive() { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }
};

}  // namespace fwu
