#include "net/async_socket.h"

#include <gtest/gtest.h>

#include "net/socket_exception.h"
#include "platform/udp_socket.h"
#include "unit/net/udp_loopback_pair.h"
#include "unit/net/fake_datagram_network.h"

namespace fwu {
namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const SocketException& e) {
    return e.what();
  }
  return "(no exception)";
}

// The component on a real loopback socket, with a peer to talk to.
struct LoopbackFixture : ::testing::Test {
  UdpSocket* raw = nullptr;
  std::unique_ptr<TAsyncSocket> socket;
  UdpSocket peer;
  std::uint16_t peerPort = 0;

  void SetUp() override {
    auto endpoint = std::make_unique<UdpSocket>();
    raw = endpoint.get();
    socket = std::make_unique<TAsyncSocket>(std::move(endpoint));
    ASSERT_EQ(peer.Create(), 0);
    ASSERT_EQ(peer.Bind({kLoopback, 0}), 0);
    ASSERT_EQ(peer.BoundPort(peerPort), 0);
  }
  void ConfigureForPeer() {
    socket->SetProto("udp");
    socket->SetAddr("127.0.0.1");
    socket->SetPort(std::to_string(peerPort));
    socket->SetLocalAddr("127.0.0.1");
  }
  bool BroadcastOptionOn() const { return raw->BroadcastEnabled(); }
};

TEST_F(LoopbackFixture, MissingSettingsAreRefusedInOrderWithTheirTexts) {
  socket->SetProto("");
  EXPECT_EQ(MessageOf([&] { socket->Connect(); }), "Connect: No Port Specified");
  socket->SetPort("9");
  EXPECT_EQ(MessageOf([&] { socket->Connect(); }), "Connect: No IP Address Specified");
  socket->SetAddr("127.0.0.1");
  EXPECT_EQ(MessageOf([&] { socket->Connect(); }), "Connect: No Protocol Specified");
  socket->SetProto("tcp");
  EXPECT_EQ(MessageOf([&] { socket->Connect(); }),
            "Error 10043 in function Connect (socket)\r\nProtocol not supported");
  EXPECT_EQ(socket->GetState(), TAsyncSocket::State::Closed);
  socket->SetProto("udp");
  socket->Connect();
  EXPECT_EQ(MessageOf([&] { socket->Connect(); }), "Connect: Socket already in use");
}

TEST_F(LoopbackFixture, AddrIsTrimmedAndFrozenWhileOpen) {
  ConfigureForPeer();
  socket->SetAddr("  127.0.0.1 ");
  EXPECT_EQ(socket->Addr(), "127.0.0.1");
  socket->Connect();
  EXPECT_EQ(MessageOf([&] { socket->SetAddr("127.0.0.1"); }), "Cannot change Addr if not closed");
  socket->Close();
  socket->SetAddr("127.0.0.2");
  EXPECT_EQ(socket->Addr(), "127.0.0.2");
}

TEST_F(LoopbackFixture, SendsOneDatagramAndReadsTheAnswerWithItsSender) {
  ConfigureForPeer();
  int connectedWith = -1;
  socket->OnSessionConnected = [&](int error) { connectedWith = error; };
  socket->Connect();
  EXPECT_EQ(connectedWith, 0);
  const Bytes probe{'Q', 'D', 0, 0};
  EXPECT_EQ(socket->Send(probe.data(), probe.size()), 4);

  ASSERT_TRUE(WaitUntilReadable(peer));
  Bytes got(16);
  std::size_t received = 0;
  Ipv4Endpoint from;
  ASSERT_EQ(peer.ReceiveFrom(got, received, from), 0);
  EXPECT_EQ(Bytes(got.begin(), got.begin() + received), probe);
  EXPECT_EQ(std::to_string(from.port), socket->LocalPort()) << "the bound port is written back";

  const Bytes answer{'o', 'k'};
  std::size_t sent = 0;
  ASSERT_EQ(peer.SendTo(from, answer, sent), 0);
  ASSERT_TRUE(WaitUntilReadable(*raw));
  Bytes buffer(68);
  Ipv4Endpoint sender;
  EXPECT_EQ(socket->ReceiveFrom(buffer.data(), buffer.size(), sender), 2);
  EXPECT_EQ(sender.port, peerPort);
  EXPECT_EQ(socket->ReceiveFrom(buffer.data(), buffer.size(), sender), -1);
  EXPECT_EQ(socket->LastError(), 10035);
}

TEST_F(LoopbackFixture, OversizedAnswerGivesMinusOneAndTheNextReadSeesTheFollowingOne) {
  ConfigureForPeer();
  socket->Connect();
  const std::uint16_t port = static_cast<std::uint16_t>(std::stoi(socket->LocalPort()));
  std::size_t sent = 0;
  ASSERT_EQ(peer.SendTo({kLoopback, port}, Bytes(100, 1), sent), 0);
  ASSERT_EQ(peer.SendTo({kLoopback, port}, Bytes(5, 2), sent), 0);
  Bytes buffer(68);
  Ipv4Endpoint sender;
  ASSERT_TRUE(WaitUntilReadable(*raw));
  EXPECT_EQ(socket->ReceiveFrom(buffer.data(), buffer.size(), sender), -1);
  EXPECT_EQ(socket->LastError(), 10040);
  ASSERT_TRUE(WaitUntilReadable(*raw));
  EXPECT_EQ(socket->ReceiveFrom(buffer.data(), buffer.size(), sender), 5);
}

TEST_F(LoopbackFixture, ASecondOpenBindsTheSamePortAsTheFirst) {
  ConfigureForPeer();
  EXPECT_EQ(socket->LocalPort(), "0");
  socket->Connect();
  const std::string first = socket->LocalPort();
  EXPECT_NE(first, "0");
  socket->Close();
  socket->Connect();
  EXPECT_EQ(socket->LocalPort(), first);
}

TEST_F(LoopbackFixture, BroadcastIsAllowedOnlyForTheBroadcastAddress) {
  ConfigureForPeer();
  socket->Connect();
  EXPECT_FALSE(BroadcastOptionOn());
  socket->Close();
  // Opening sends nothing, so this stays on the machine.
  socket->SetAddr("255.255.255.255");
  socket->Connect();
  EXPECT_TRUE(BroadcastOptionOn());
}

TEST_F(LoopbackFixture, BindFailureIsReportedAndLeavesTheComponentClosedAndReusable) {
  ConfigureForPeer();
  socket->SetLocalPort(std::to_string(peerPort));
  EXPECT_EQ(MessageOf([&] { socket->Connect(); }), "winsock.bind failed, error #10048");
  EXPECT_EQ(socket->GetState(), TAsyncSocket::State::Closed);
  EXPECT_FALSE(raw->IsCreated()) << "the handle is not leaked";
  socket->SetLocalPort("0");
  socket->Connect();
  EXPECT_EQ(socket->GetState(), TAsyncSocket::State::Connected);
}

TEST_F(LoopbackFixture, SendAndReceiveWhileClosedReportNotConnected) {
  const char byte = 'x';
  try {
    socket->Send(&byte, 1);
    FAIL() << "Send on a closed socket must raise";
  } catch (const SocketException& e) {
    EXPECT_EQ(e.Code(), 10057);
    EXPECT_EQ(std::string(e.what()).rfind("Error 10057 in function Send\r\n", 0), 0u) << e.what();
  }
  char buffer[8];
  Ipv4Endpoint sender;
  EXPECT_EQ(socket->ReceiveFrom(buffer, sizeof buffer, sender), -1);
  EXPECT_EQ(socket->LastError(), 10057);
}

TEST(AsyncSocketFailures, ResetClosesTheSocketWhileOtherSendErrorsKeepItOpen) {
  auto network = std::make_unique<testing::FakeDatagramNetwork>();
  auto* lan = network.get();
  TAsyncSocket socket(std::move(network));
  socket.SetProto("udp");
  socket.SetAddr("10.1.1.1");
  socket.SetPort("9");
  socket.Connect();
  const char byte = 'x';
  lan->failSendWith = 10065;
  EXPECT_EQ(MessageOf([&] { socket.Send(&byte, 1); }), "Error 10065 in function Send\r\nscripted failure");
  EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Connected);
  lan->failSendWith = 10054;
  EXPECT_THROW(socket.Send(&byte, 1), SocketException);
  EXPECT_EQ(socket.GetState(), TAsyncSocket::State::Closed);
  EXPECT_FALSE(lan->IsCreated());
}

TEST(AsyncSocketFailures, UnusablePortTextsAreRefusedBeforeASocketIsMade) {
  auto network = std::make_unique<testing::FakeDatagramNetwork>();
  auto* lan = network.get();
  TAsyncSocket socket(std::move(network));
  socket.SetProto("udp");
  socket.SetAddr("10.1.1.1");
  for (const char* port : {"abc", "70000", "-1", "9x"}) {
    socket.SetPort(port);
    EXPECT_EQ(MessageOf([&] { socket.Connect(); }), "Error 10022 in function Connect (port)\r\nInvalid port number")
        << port;
  }
  EXPECT_EQ(lan->binds, 0);
}

}  // namespace
}  // namespace fwu
