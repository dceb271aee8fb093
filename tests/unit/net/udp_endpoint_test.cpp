#include "net/udp_endpoint.h"

#include <gtest/gtest.h>

#include "platform/bytes.h"
#include "platform/poll_event_loop.h"
#include "unit/net/udp_loopback_pair.h"

namespace fwu {
namespace {

TEST(UdpEndpointTest, SystemChosenPortReceivesRepliesOnePerEvent) {
  PollEventLoop loop;
  TUdpEndpoint endpoint(loop);
  endpoint.Loaded();
  UdpSocket peer;
  ASSERT_EQ(peer.Create(), 0);
  ASSERT_EQ(peer.Bind({kLoopback, 0}), 0);
  std::uint16_t peerPort = 0;
  ASSERT_EQ(peer.BoundPort(peerPort), 0);

  int sendEvents = 0;
  endpoint.OnDataSend = [&] { ++sendEvents; };
  endpoint.SetRemoteHost("127.0.0.1");
  endpoint.SetRemotePort(peerPort);
  const Bytes request{1, 2, 3};
  endpoint.SendBuffer(request.data(), request.size());
  EXPECT_EQ(sendEvents, 1) << "OnDataSend fires before SendBuffer returns";

  Bytes got(16);
  std::size_t length = 0;
  Ipv4Endpoint from;
  ASSERT_TRUE(WaitUntilReadable(peer));
  ASSERT_EQ(peer.ReceiveFrom(got, length, from), 0);
  EXPECT_NE(from.port, 0);
  EXPECT_EQ(from.port, endpoint.BoundPort());
  for (std::uint8_t fill : {7, 8}) {
    const Bytes reply(5, fill);
    std::size_t sent = 0;
    ASSERT_EQ(peer.SendTo(from, reply, sent), 0);
  }

  std::vector<Bytes> arrivals;
  endpoint.OnDataReceived = [&](int numberBytes, const std::string& fromIP, int port) {
    EXPECT_EQ(fromIP, "127.0.0.1");
    EXPECT_EQ(port, peerPort);
    Bytes bytes(static_cast<std::size_t>(numberBytes));
    EXPECT_EQ(endpoint.ReadBuffer(bytes.data(), bytes.size()), bytes.size());
    arrivals.push_back(bytes);
  };
  // Loopback delivers at once; the timer only keeps a fault from hanging the run.
  loop.StartTimer(2000, [&] { loop.Quit(); });
  loop.RunUntil([&] { return arrivals.size() == 2; });
  EXPECT_EQ(arrivals, (std::vector<Bytes>{Bytes(5, 7), Bytes(5, 8)}));
}

void ExpectSendRaises(TUdpEndpoint& endpoint, const void* buffer, std::size_t length, const std::string& text) {
  try {
    endpoint.SendBuffer(buffer, length);
    ADD_FAILURE() << "no exception for " << text;
  } catch (const UdpSocketError& e) {
    EXPECT_EQ(e.what(), text);
  }
}

TEST(UdpEndpointTest, RefusedSendsRaiseAndSendNothing) {
  PollEventLoop loop;
  TUdpEndpoint endpoint(loop);
  endpoint.Loaded();
  int sendEvents = 0;
  endpoint.OnDataSend = [&] { ++sendEvents; };
  endpoint.SetRemotePort(69);
  const std::uint8_t byte = 1;
  endpoint.SetRemoteHost("127.0.0.1");
  ExpectSendRaises(endpoint, &byte, 0, "Invalid buffer");
  endpoint.SetRemoteHost("0.0.0.0");
  ExpectSendRaises(endpoint, &byte, 1, "Null Remote Address");
  EXPECT_EQ(sendEvents, 0);

  // A handler may supply the data a zero-length send lacked; it goes to the
  // endpoint itself, so nothing else on the machine sees it.
  endpoint.SetRemoteHost("127.0.0.1");
  endpoint.SetRemotePort(endpoint.BoundPort());
  endpoint.OnBufferInvalid = [&](const void*& buffer, std::size_t& length) {
    buffer = &byte;
    length = 1;
  };
  endpoint.SendBuffer(nullptr, 0);
  EXPECT_EQ(sendEvents, 1);
}

}  // namespace
}  // namespace fwu
