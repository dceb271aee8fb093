#include <net/if.h>

#include <gtest/gtest.h>

#include "platform/udp_socket.h"
#include "unit/net/udp_loopback_pair.h"

namespace fwu {
namespace {

// Linux answers from any 127/8 address on "lo", so the chosen interface's
// address shows in the datagram's source.
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
  ASSERT_TRUE(WaitUntilReadable(pair.socket));
  Bytes buffer(5);
  Ipv4Endpoint from;
  ASSERT_EQ(pair.socket.ReceiveFrom(buffer, sent, from), 0);
  EXPECT_EQ(FormatDottedIpv4(from.address), "127.0.0.2") << "the interface's address, not the socket's";
  const NetworkInterface missing{"none", 999999, source};
  EXPECT_NE(any.SendToVia({kLoopback, pair.port}, missing, Bytes(1, 0), sent), 0) << "no such interface";
}

}  // namespace
}  // namespace fwu
