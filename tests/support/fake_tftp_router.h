#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "net/datagram_component.h"
#include "platform/bytes.h"
#include "platform/event_loop.h"

namespace fwu::testing {

// A crashed router's boot loader behind the TFTP window's datagram
// component, on the loop's virtual time: it acknowledges each request and
// block after a delay, stores what it receives, and loses, repeats or
// refuses on request. What it answers reaches the window only while the
// socket it was sent to is open.
class FakeTftpRouter final : public DatagramComponent {
 public:
  struct Sent {
    std::string host;
    int port;
    Bytes bytes;
  };

  explicit FakeTftpRouter(EventLoop& loop) : loop_(loop) {}

  // Behaviour.
  std::int64_t ackDelayMs = 10;
  bool silent = false;
  std::set<std::size_t> lostDatagrams;  // indexes into `sent` that never arrive
  bool repeatAcks = false;
  int errorAtBlock = -1;                // answer this data block with an error packet
  // A file's last block sent again after the router closed the session is
  // answered with error 5, as boot loaders do; else acknowledged again.
  bool closedSessionError = false;
  std::function<void(const Sent&)> onSent;

  // What it saw.
  std::vector<Sent> sent;
  std::vector<Bytes> files;             // one per write request, in order
  int opens = 0;

  void Open() override {
    ++opens;
    open_ = true;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const { return open_; }
  void SetRemoteHost(const std::string& host) override { host_ = host; }
  void SetRemotePort(int port) override { port_ = port; }

  void SendBuffer(const void* buffer, std::size_t length) override {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    sent.push_back({host_, port_, Bytes(bytes, bytes + length)});
    const std::size_t index = sent.size() - 1;
    if (OnDataSend) OnDataSend();
    if (onSent) onSent(sent.back());
    if (!silent && lostDatagrams.count(index) == 0) Receive(sent.back().bytes);
  }

  std::size_t ReadBuffer(void* destination, std::size_t capacity) override {
    const std::size_t count = std::min(capacity, inbox_.size());
    std::memcpy(destination, inbox_.data(), count);
    return count;
  }

  // Hands one datagram to the window as the endpoint would, from the
  // address the window sends to unless another sender is named.
  void Deliver(const Bytes& datagram, const std::string& from = "") {
    if (!open_) return;
    inbox_ = datagram;
    if (OnDataReceived) OnDataReceived(static_cast<int>(datagram.size()), from.empty() ? host_ : from, 69);
  }
  // Answers go to the socket that asked: one opened since never sees them.
  void DeliverLater(Bytes datagram, std::int64_t delayMs) {
    auto id = std::make_shared<EventLoop::TimerId>(0);
    *id = loop_.StartTimer(delayMs, [this, id, datagram, socket = opens] {
      loop_.StopTimer(*id);
      if (socket == opens) Deliver(datagram);
    });
  }

  static Bytes Ack(std::uint16_t block) { return {0, 4, static_cast<std::uint8_t>(block >> 8), static_cast<std::uint8_t>(block)}; }
  static Bytes Error(std::uint8_t code = 2, const std::string& text = "no") {
    // Sized once and filled: GCC 12's bounds check misreads a growing insert.
    Bytes packet(4 + text.size() + 1, 0);
    packet[1] = 5;
    packet[3] = code;
    std::copy(text.begin(), text.end(), packet.begin() + 4);
    return packet;
  }

  // The data datagrams sent, as (block, payload size).
  std::vector<std::pair<int, std::size_t>> DataBlocks() const {
    std::vector<std::pair<int, std::size_t>> blocks;
    for (const Sent& s : sent) {
      if (s.bytes.size() >= 4 && s.bytes[1] == 3) blocks.push_back({(s.bytes[2] << 8) | s.bytes[3], s.bytes.size() - 4});
    }
    return blocks;
  }

 private:
  void Receive(const Bytes& datagram) {
    if (datagram.size() < 2) return;
    if (datagram[1] == 2) {  // write request: a new file, acknowledged with block 0
      // A copy of the request, sent before its acknowledgement came, starts
      // the same file again.
      const bool copy = !files.empty() && expected_ == 1 && !complete_;
      if (!copy) files.emplace_back();
      expected_ = 1;
      complete_ = false;
      Answer(Ack(0));
    } else if (datagram[1] == 3 && datagram.size() >= 4 && !files.empty()) {
      const int block = (datagram[2] << 8) | datagram[3];
      if (block == errorAtBlock) {
        Answer(Error());
        return;
      }
      if (block != expected_ && complete_ && closedSessionError) {
        Answer(Error(5, "Unknown transfer ID"));
        return;
      }
      if (block == expected_) {  // a repeated block is acknowledged, not stored twice
        files.back().insert(files.back().end(), datagram.begin() + 4, datagram.end());
        ++expected_;
        complete_ = datagram.size() < 4 + 512;
      }
      Answer(Ack(static_cast<std::uint16_t>(block)));
    }
  }
  void Answer(const Bytes& reply) {
    DeliverLater(reply, ackDelayMs);
    if (repeatAcks) DeliverLater(reply, ackDelayMs + 1);
  }

  EventLoop& loop_;
  std::string host_;
  int port_ = 0;
  Bytes inbox_;
  int expected_ = 1;
  bool complete_ = false;
  bool open_ = false;
};

}  // namespace fwu::testing
