#include "platform/udp_socket.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/bytes.h"
#include "platform/clock.h"
#include "unit/net/udp_loopback_pair.h"

namespace fwu {
namespace {

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
  Bytes buffer(68);
  std::size_t received = 0;
  Ipv4Endpoint sender;
  ASSERT_TRUE(WaitUntilReadable(pair.socket));
  EXPECT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 10040);
  std::fill(buffer.begin(), buffer.end(), 0);
  ASSERT_TRUE(WaitUntilReadable(pair.socket));
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
  Bytes buffer(68);
  std::size_t received = 99;
  Ipv4Endpoint sender;
  ASSERT_TRUE(WaitUntilReadable(pair.socket));
  ASSERT_EQ(pair.socket.ReceiveFrom(buffer, received, sender), 0);
  EXPECT_EQ(received, 68u);
  ASSERT_TRUE(WaitUntilReadable(pair.socket));
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

}  // namespace
}  // namespace fwu
