#include "platform/stream_socket.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace fwu {
namespace {

constexpr int kWaitMs = 2000;

struct ServerConnection {
  TStreamSocket listener;
  TStreamSocket client;
  TStreamSocket served;
  std::uint16_t port = 0;

  // A listener on the given port (0: any free one), a client on loopback,
  // and the connection the listener accepted from it.
  explicit ServerConnection(std::uint16_t onPort = 0) {
    if (!listener.ListenOn(onPort)) return;
    port = listener.Local().value_or(PeerEndpoint{}).port;
    if (client.StartConnect("127.0.0.1", port) == TStreamSocket::ConnectStart::Failed) return;
    if (!listener.WaitFor(TStreamSocket::Wants::Read, kWaitMs)) return;
    if (auto accepted = listener.Accept()) served = std::move(*accepted);
  }
};

// What arrives before the peer's orderly end; nothing when no end comes.
std::optional<std::string> ReadToEnd(TStreamSocket& socket) {
  std::string text;
  char chunk[64];
  while (socket.WaitFor(TStreamSocket::Wants::Read, kWaitMs)) {
    const long n = socket.Receive(chunk, sizeof chunk);
    if (n == 0) return text;
    if (n < 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  return std::nullopt;
}

TEST(StreamSocketServer, EndingTheSendingSideDeliversTheAnswerAndStillReadsThePeer) {
  ServerConnection pair;
  ASSERT_TRUE(pair.served.Valid());
  const std::string answer = "HTTP/1.0 200 OK\r\n\r\nbody";
  ASSERT_EQ(pair.served.Send(answer.data(), answer.size()), static_cast<long>(answer.size()));
  pair.served.ShutdownSending();
  EXPECT_EQ(ReadToEnd(pair.client), answer);
  ASSERT_EQ(pair.client.Send("late", 4), 4);
  pair.client.Close();
  EXPECT_EQ(ReadToEnd(pair.served), "late");
}

TEST(StreamSocketServer, ARestartedServerGetsItsPortBackWhileItsOldConnectionLingers) {
  std::uint16_t port = 0;
  {
    ServerConnection first;
    ASSERT_TRUE(first.served.Valid());
    port = first.port;
    // The server side closes first, so its end of the connection lingers.
    first.served.Close();
    EXPECT_EQ(ReadToEnd(first.client), std::string());
  }
  ServerConnection restarted(port);
  EXPECT_TRUE(restarted.served.Valid());
}

}  // namespace
}  // namespace fwu
