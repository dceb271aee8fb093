#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/temp_dir.h"
#include "platform/error_text.h"
#include "transfer/tcp_link.h"
#include "transfer/transfer_view.h"
#include "unit/transfer/fake_http_server.h"

namespace fwu {
namespace {

using test::FakeExchange;
using test::FakeHttpServer;

struct CountingProgress final : ProgressSink {
  void AdvanceProgress(std::int64_t bytes) override { total += bytes; }
  std::int64_t total = 0;
};

// A link that has connected to the fake server and sent a one-line request.
void ConnectAndAsk(TcpLink& link, const FakeHttpServer& server) {
  ASSERT_TRUE(server.Listening());
  ASSERT_EQ(link.Open(), 1);
  ASSERT_EQ(link.Connect("127.0.0.1", server.Port()), 1);
  const std::string request = "GET / HTTP/1.1\r\n";
  ASSERT_EQ(link.SendAll(request.data(), static_cast<std::int64_t>(request.size()), nullptr), 16);
}

FakeExchange Answer(std::vector<std::string> pieces) { return {"HTTP/1.1\r\n", std::move(pieces)}; }

TEST(ErrorText, ListedNumbersHaveTheirTextAndOthersSayUnknown) {
  EXPECT_EQ(ErrorText(10061), "Connection refused.");
  EXPECT_EQ(ErrorText(10004), "Interrupted system call.");
  EXPECT_EQ(ErrorText(11004), "Valid name, no data record of requested type.");
  EXPECT_EQ(ErrorText(10100), "unknown error code : 10100");
  EXPECT_EQ(ErrorText(10072), "unknown error code : 10072");
  EXPECT_EQ(SocketErrorMessage("Socket Error: ", 10061), "Socket Error: 10061 Connection refused.");
}

TEST(TcpLinkConnect, HostNamesAndClosedPortsFailWithTheConnectMessage) {
  TcpLink link;
  ASSERT_EQ(link.Open(), 1);
  EXPECT_EQ(link.Connect("localhost", 80), -1);
  EXPECT_EQ(link.LastErrorText(), "Failed to connect socket to IP : localhost and port : 80");

  TcpListener closed;
  ASSERT_TRUE(closed.Listen("127.0.0.1", 0));
  const std::uint16_t port = closed.Port();
  closed.Close();
  TcpLink refused;
  ASSERT_EQ(refused.Open(), 1);
  EXPECT_EQ(refused.Connect("127.0.0.1", port), -1);
  EXPECT_EQ(refused.LastErrorText(), "Failed to connect socket to IP : 127.0.0.1 and port : " + std::to_string(port));
}

TEST(TcpLinkSend, NothingToSendReturnsZeroAndNoSocketFails) {
  TcpLink unopened;
  EXPECT_EQ(unopened.SendAll("x", 1, nullptr), -1);
  EXPECT_EQ(unopened.LastErrorText().rfind("Send Socket Error: ", 0), 0u) << unopened.LastErrorText();

  FakeHttpServer server({Answer({"HTTP/1.1 200 OK\r\n\r\nok"})});
  TcpLink link;
  ConnectAndAsk(link, server);
  CountingProgress progress;
  EXPECT_EQ(link.SendAll("ignored", 0, &progress), 0);
  EXPECT_EQ(link.SendAll("ignored", -5, &progress), 0);
  EXPECT_EQ(progress.total, 0);
}

TEST(TcpLinkReceiveToBuffer, AcceptsCapacityMinusTwoBytesAndRefusesOneMore) {
  char buffer[TcpLink::kChunkSize];
  {
    FakeHttpServer server({Answer({std::string(1463, 'a')})});
    TcpLink link;
    ConnectAndAsk(link, server);
    EXPECT_EQ(link.ReceiveToBuffer(buffer, TcpLink::kChunkSize).count, 1463);
    EXPECT_EQ(buffer[1462], 'a');
    EXPECT_EQ(buffer[1463], '\0');
  }
  {
    FakeHttpServer server({Answer({std::string(1464, 'b')})});
    TcpLink link;
    ConnectAndAsk(link, server);
    EXPECT_EQ(link.ReceiveToBuffer(buffer, TcpLink::kChunkSize).count, -1);
    EXPECT_EQ(link.LastErrorText(), "Read Data grater than receive buffer!");
  }
}

TEST(TcpLinkReceiveToBuffer, JoinsPiecesUntilThePeerClosesAndReportsThePeer) {
  FakeHttpServer server({Answer({"HTTP/1.1 200 OK\r\n", "\r\nfirst", " second"})});
  TcpLink link;
  ConnectAndAsk(link, server);
  char buffer[100];
  const TcpLink::Received received = link.ReceiveToBuffer(buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(received.count)), "HTTP/1.1 200 OK\r\n\r\nfirst second");
  EXPECT_EQ(received.peerAddress, "127.0.0.1");
  EXPECT_EQ(received.peerPort, server.Port());
}

TEST(TcpLinkReceive, APeerThatClosesAtOnceIsAReadError) {
  FakeExchange hangUp;
  hangUp.closeAtOnce = true;
  FakeHttpServer server({hangUp, hangUp});
  PrivateTempDir dir;
  for (int step = 0; step < 2; ++step) {
    TcpLink link;
    ASSERT_EQ(link.Open(), 1);
    ASSERT_EQ(link.Connect("127.0.0.1", server.Port()), 1);
    char buffer[64];
    const auto received = step == 0 ? link.ReceiveToBuffer(buffer, sizeof buffer)
                                    : link.ReceiveToFile(dir.PathWithSeparator() + "rom.bin", nullptr);
    EXPECT_EQ(received.count, -1);
    EXPECT_EQ(link.LastErrorText(), "Read Data error!");
  }
}

TEST(TcpLinkReceive, WithoutASocketNothingIsTouched) {
  PrivateTempDir dir;
  const std::string path = dir.PathWithSeparator() + "rom.bin";
  TcpLink link;
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(link.ReceiveToBuffer(buffer, sizeof buffer).count, -1);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(link.LastErrorText(), "INVALID_SOCKET in receive data.");
  EXPECT_EQ(link.ReceiveToFile(path, nullptr).count, -1);
  EXPECT_FALSE(FileExists(path));
}

class ReceiveToFileTest : public ::testing::Test {
 protected:
  // Runs one response through ReceiveToFile with an earlier file in place.
  std::int64_t Receive(std::vector<std::string> pieces) {
    EXPECT_TRUE(WriteWholeFile(path_, ToBytes("earlier data")));
    FakeExchange answer = Answer(std::move(pieces));
    answer.pieceGapMs = 300;
    FakeHttpServer server({answer});
    TcpLink link;
    ConnectAndAsk(link, server);
    const auto count = link.ReceiveToFile(path_, &progress_).count;
    error_ = link.LastErrorText();
    return count;
  }
  std::string Saved() const { return ToText(ReadWholeFile(path_).value_or(ToBytes("<missing>"))); }
  std::string Backup() const { return ToText(ReadWholeFile(path_ + ".BAK").value_or(ToBytes("<missing>"))); }

  PrivateTempDir dir_;
  std::string path_ = dir_.PathWithSeparator() + "config.bin";
  CountingProgress progress_;
  std::string error_;
};

TEST_F(ReceiveToFileTest, BodyGoesToTheFileAndCountsIncludeTheHeader) {
  const std::string header = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
  std::string body(4000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  const auto count = Receive({header + body.substr(0, 10), body.substr(10)});
  EXPECT_EQ(count, static_cast<std::int64_t>(header.size() + body.size()));
  EXPECT_EQ(progress_.total, count);
  EXPECT_EQ(Saved(), body);
  EXPECT_EQ(Backup(), "earlier data");
}

TEST_F(ReceiveToFileTest, RefusedAnswersLeaveTheEarlierFileInPlace) {
  EXPECT_EQ(Receive({"HTTP/1.1 404 Not Found\r\nServer: x\r\n\r\nmissing"}), -1);
  EXPECT_EQ(error_, "unknown response error code !");
  EXPECT_EQ(Saved(), "earlier data");
  EXPECT_EQ(Backup(), "<missing>");

  EXPECT_EQ(Receive({"HTTP/1.1 400 Bad Request\r\n\r\n"}), -1);
  EXPECT_EQ(error_, "Bad Request !");
  EXPECT_EQ(Saved(), "earlier data");
}

TEST_F(ReceiveToFileTest, TheBodyMustStartInTheFirstChunkAfterAFullLineEnd) {
  EXPECT_EQ(Receive({"HTTP/1.1 200 OK\nServer: x\n\nbody"}), -1);
  EXPECT_EQ(error_, "HTTP header parse error !");

  EXPECT_EQ(Receive({"HTTP/1.1 200 OK\r\nServer: x\r\n\r\n", "late body"}), -1);
  EXPECT_EQ(error_, "HTTP header parse length error !");
}

TEST_F(ReceiveToFileTest, AnExistingBackupIsReplacedByTheMostRecentFile) {
  ASSERT_TRUE(WriteWholeFile(path_ + ".BAK", ToBytes("oldest")));
  EXPECT_GT(Receive({"HTTP/1.1 200 OK\r\n\r\nnew"}), 0);
  EXPECT_EQ(Backup(), "earlier data");
  EXPECT_EQ(Saved(), "new");
}

}  // namespace
}  // namespace fwu
