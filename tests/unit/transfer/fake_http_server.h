#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/tcp_socket.h"

namespace fwu::test {

// What the fake peer does with one connection.
struct FakeExchange {
  // The request counts as complete once the bytes received end with this
  // (empty: once the client has been quiet for quietMs).
  std::string requestEnd;
  // Sent piece by piece (with a short pause between), then the connection
  // is closed. No pieces: close without answering. "{PORT}" in a piece
  // stands for the server's own port.
  std::vector<std::string> replyPieces;
  // Accept, then close at once without reading.
  bool closeAtOnce = false;
  int quietMs = 300;
  // Pause between reply pieces, long enough that they arrive apart.
  int pieceGapMs = 30;
  // After the last piece: close in order, reset the connection, or go
  // quiet until the client gives up (at most stallMs).
  enum class Ending { Close, Reset, Stall };
  Ending ending = Ending::Close;
  int stallMs = 10000;
};

// A scripted web server on 127.0.0.1: one thread that serves one connection
// per script step, in order, and records what each connection brought.
class FakeHttpServer {
 public:
  explicit FakeHttpServer(std::vector<FakeExchange> script, std::uint16_t port = 0) : script_(std::move(script)) {
    listening_ = listener_.Listen("127.0.0.1", port);
    if (listening_) thread_ = std::thread([this] { Serve(); });
  }
  ~FakeHttpServer() { Join(); }

  bool Listening() const { return listening_; }
  std::uint16_t Port() const { return listener_.Port(); }

  // Waits until the script has run (or its peers stopped coming).
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::vector<std::string> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void Serve() {
    for (const FakeExchange& step : script_) {
      auto peer = listener_.Accept(5000);
      if (!peer) return;
      std::string request;
      if (!step.closeAtOnce) request = ReadRequest(*peer, step);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      for (std::size_t i = 0; i < step.replyPieces.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(step.pieceGapMs));
        const std::string piece = WithOwnPort(step.replyPieces[i]);
        std::size_t sent = 0;
        while (sent < piece.size()) {
          const long n = peer->Send(piece.data() + sent, piece.size() - sent);
          if (n <= 0) break;
          sent += static_cast<std::size_t>(n);
        }
      }
      End(*peer, step);
    }
  }

  static void End(TcpSocket& peer, const FakeExchange& step) {
    if (step.ending == FakeExchange::Ending::Reset) {
      std::this_thread::sleep_for(std::chrono::milliseconds(step.pieceGapMs));
      peer.CloseWithReset();
      return;
    }
    if (step.ending == FakeExchange::Ending::Stall) {
      char byte = 0;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.stallMs);
      while (std::chrono::steady_clock::now() < deadline) {
        if (peer.WaitReadable(50) == Readiness::Ready && peer.Receive(&byte, 1) <= 0) break;
      }
    }
    peer.Close();
  }

  std::string WithOwnPort(std::string text) const {
    const std::string mark = "{PORT}";
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark)) {
      text.replace(at, mark.size(), std::to_string(Port()));
    }
    return text;
  }

  static std::string ReadRequest(TcpSocket& peer, const FakeExchange& step) {
    std::string request;
    char buffer[65536];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      if (!step.requestEnd.empty() && request.ends_with(step.requestEnd)) break;
      const Readiness ready = peer.WaitReadable(step.requestEnd.empty() ? step.quietMs : 1000);
      if (ready == Readiness::TimedOut && step.requestEnd.empty()) break;
      if (ready != Readiness::Ready) continue;
      const long n = peer.Receive(buffer, sizeof buffer);
      if (n <= 0) break;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    return request;
  }

  std::vector<FakeExchange> script_;
  TcpListener listener_;
  bool listening_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace fwu::test
