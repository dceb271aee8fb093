#include "platform/udp_socket.h"

#include <net/if.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/bytes.h"
#include "platform/clock.h"

namespace fwu {
namespace {

const Ipv4 kLoopback = *ParseDottedIpv4("127.0.0.1");

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

TEST(UdpSocket, ReceiveWithNothingWaitingReportsWouldBlockAtOnce) {
  LoopbackPair pair;
  Bytes buffer(68);
  std::size_t received = 0;
  Ipv4Endpoint sender;
  const auto start = MonotonicMs();
  EXPECT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 10035);
  EXPECT_LT(MonotonicMs() - start, 50);
}

TEST(UdpSocket, OversizedDatagramIsReportedAndConsumedSoTheNextOneIsRead) {
  LoopbackPair pair;
  pair.PeerSends(100, 0xAA);
  pair.PeerSends(10, 0xBB);
  LoopbackPair::LetItArrive();
  Bytes buffer(68);
  std::size_t received = 0;
  Ipv4Endpoint sender;
  EXPECT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 10040);
  std::fill(buffer.begin(), buffer.end(), 0);
  ASSERT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 0);
  EXPECT_EQ(received, 10u);
  EXPECT_EQ(buffer[0], 0xBB);
  EXPECT_EQ(buffer[10], 0) << "nothing written past the datagram";
  EXPECT_EQ(FormatDottedIpv4(sender.address), "127.0.0.1");
  std::uint16_t peerPort = 0;
  pair.peer.BoundPort(peerPort);
  EXPECT_EQ(sender.port, peerPort);
}

TEST(UdpSocket, DatagramThatExactlyFillsTheBufferAndEmptyDatagramAreReadWhole) {
  LoopbackPair pair;
  pair.PeerSends(68, 0x11);
  pair.PeerSends(0, 0);
  LoopbackPair::LetItArrive();
  Bytes buffer(68);
  std::size_t received = 99;
  Ipv4Endpoint sender;
  ASSERT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 0);
  EXPECT_EQ(received, 68u);
  ASSERT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 0);
  EXPECT_EQ(received, 0u);
}

TEST(UdpSocket, BindingAPortInUseFailsWithAddressInUse) {
  LoopbackPair pair;
  UdpSocket second;
  ASSERT_EQ(second.Create(), 0);
  EXPECT_EQ(second.Bind({kLoopback, pair.port}), 10048);
  EXPECT_FALSE(second.LastErrorDescription().empty());
}

TEST(UdpSocket, SendToViaLeavesByTheGivenInterfaceWithItsAddressAsSource) {
  LoopbackPair pair;
  UdpSocket any;  // bound to the any-address, as the search's socket is
  ASSERT_EQ(any.Create(), 0);
  ASSERT_EQ(any.Bind({kAnyIpv4, 0}), 0);
  const Ipv4 source = *ParseDottedIpv4("127.0.0.2");
  const NetworkInterface loopback{"lo", if_nametoindex("lo"), source};
  std::size_t sent = 0;
  ASSERT_EQ(any.SendToVia({kLoopback, pair.port}, loopback, Bytes(5, 0x5A), sent), 0) << any.LastErrorDescription();
  EXPECT_EQ(sent, 5u);
  LoopbackPair::LetItArrive();
  Bytes buffer(5);
  Ipv4Endpoint from;
  ASSERT_EQ(pair.socket.ReceiveFrom(buffer, sent, from), 0);
  EXPECT_EQ(FormatDottedIpv4(from.address), "127.0.0.2") << "the interface's address, not the socket's";
  const NetworkInterface missing{"none", 999999, source};
  EXPECT_NE(any.SendToVia({kLoopback, pair.port}, missing, Bytes(1, 0), sent), 0) << "no such interface";
}

}  // namespace
}  // namespace fwu
