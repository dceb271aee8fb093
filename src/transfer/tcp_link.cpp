#include "transfer/tcp_link.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/binary_file.h"
#include "platform/replacement_file.h"
#include "platform/error_text.h"
#include "platform/socket_error.h"
#include "transfer/response_head.h"
#include "transfer/transfer_view.h"

namespace fwu {
namespace {

using Chunk = std::array<char, TcpLink::kChunkSize + 1>;

}  // namespace

TcpLink::TcpLink(LinkDeadlines deadlines) : deadlines_(deadlines) { Startup(); }

TcpLink::~TcpLink() {
  {
    std::lock_guard lock(lifeMutex_);
    socket_.Close();
  }
  Cleanup();
}

void TcpLink::Abort() {
  std::lock_guard lock(lifeMutex_);
  aborted_ = true;
  socket_.Shutdown();
}

int TcpLink::Startup() {
  started_ = true;
  return 1;
}

int TcpLink::Cleanup() { return 1; }

int TcpLink::Open() {
  if (!started_) return -1;
  if (Cleanup() < 0) {
    lastError_ = "Windows Sockets Close Error.";
    return -1;
  }
  if (Startup() < 0) {
    lastError_ = "Windows Sockets is not available.";
    return -1;
  }
  std::lock_guard lock(lifeMutex_);
  if (aborted_) {
    lastError_ = SocketErrorMessage("Socket Error: ", wsa::kConnectionAborted);
    return -1;
  }
  if (!socket_.Create() || !socket_.SetIoTimeout(deadlines_.idleMs)) {
    lastError_ = SocketErrorMessage("Socket Error: ", socket_.LastError());
    return -1;
  }
  return 1;
}

int TcpLink::Connect(const std::string& dottedAddress, std::uint16_t port) {
  if (!socket_.Connect(dottedAddress, port, deadlines_.connectMs)) {
    lastError_ = "Failed to connect socket to IP : " + dottedAddress + " and port : " + std::to_string(port);
    return -1;
  }
  return 1;
}

bool TcpLink::WaitReady(Direction direction) {
  const bool sending = direction == Direction::Send;
  const int waitMs = static_cast<int>(waitSeconds_ * 1000 + waitMicroseconds_ / 1000);
  switch (sending ? socket_.WaitWritable(waitMs) : socket_.WaitReadable(waitMs)) {
    case Readiness::Ready:
    case Readiness::TimedOut:
      return true;
    case Readiness::Failed:
    case Readiness::Interrupted:
      lastError_ = SocketErrorMessage("Socket Error: ", socket_.LastError());
      return false;
    case Readiness::Exceptional:
      lastError_ = sending ? "Unexcept condition to send data " : "Unexcept condition to receive data ";
      return false;
    case Readiness::NotInSet:
      lastError_ = sending ? "Unexcept condition in send data " : "Unexcept condition in receive data ";
      return false;
  }
  return false;
}

template <typename SendSome>
std::int64_t TcpLink::SendLoop(std::int64_t length, ProgressSink* progress, SendSome sendSome) {
  if (!socket_.Valid()) {
    const int number = socket_.LastError() != 0 ? socket_.LastError() : wsa::kNotSocket;
    lastError_ = SocketErrorMessage("Send Socket Error: ", number);
    return -1;
  }
  if (length <= 0) return 0;
  std::int64_t sent = 0;
  while (sent < length) {
    if (!WaitReady(Direction::Send)) return -1;
    const long taken = sendSome(sent, length - sent);
    if (taken <= 0) {
      lastError_ = SocketErrorMessage("Send Data Error: ", socket_.LastError());
      return -1;
    }
    sent += taken;
    if (progress != nullptr) progress->AdvanceProgress(taken);
  }
  return sent;
}

std::int64_t TcpLink::SendAll(const void* data, std::int64_t length, ProgressSink* progress) {
  const auto* bytes = static_cast<const char*>(data);
  return SendLoop(length, progress, [this, bytes](std::int64_t offset, std::int64_t count) {
    return socket_.Send(bytes + offset, static_cast<std::size_t>(count));
  });
}

std::int64_t TcpLink::SendFile(const ReadOnlyFile& file, std::uint64_t offset, std::int64_t length,
                               ProgressSink* progress) {
  return SendLoop(length, progress, [this, &file, offset](std::int64_t done, std::int64_t count) {
    return socket_.SendFrom(file, offset + static_cast<std::uint64_t>(done), static_cast<std::size_t>(count));
  });
}


TcpLink::Received TcpLink::ReceiveFailure(const std::string& text) {
  lastError_ = text;
  return {};
}

long TcpLink::ReceiveChunk(char* chunk) {
  if (!WaitReady(Direction::Receive)) return -1;
  const long n = socket_.Receive(chunk, kChunkSize);
  // Abort shuts the socket down, which reads as an orderly close.
  if (n < 0 || (n == 0 && aborted_)) {
    lastError_ = "Read Data error!";
    return -1;
  }
  return n;
}

TcpLink::Received TcpLink::ReceiveToBuffer(char* buffer, std::int64_t capacity) {
  if (capacity > 0) buffer[0] = '\0';
  if (!socket_.Valid()) return ReceiveFailure("INVALID_SOCKET in receive data.");
  const auto peer = socket_.Peer().value_or(PeerEndpoint{});
  std::int64_t total = 0;
  for (;;) {
    Chunk chunk{};
    const long n = ReceiveChunk(chunk.data());
    if (n < 0) return {};
    if (n == 0) {
      // The peer closed: whatever came is the response.
      if (total > 0) return {peer.address, peer.port, total};
      return ReceiveFailure("Read Data error!");
    }
    // The bytes and their terminating 0, as far as the buffer reaches.
    const std::int64_t copied = std::min<std::int64_t>(n + 1, capacity - total);
    std::memcpy(buffer + total, chunk.data(), static_cast<std::size_t>(copied));
    if (total + copied >= capacity) return ReceiveFailure("Read Data grater than receive buffer!");
    total += n;
  }
}

TcpLink::Received TcpLink::ReceiveToFile(const std::string& fileName, ProgressSink* progress,
                                         std::int64_t expectedBody) {
  if (!socket_.Valid()) return ReceiveFailure("INVALID_SOCKET in receive data.");
  // A failed read, however often, never costs the last good copy.
  ReplacementFile file;
  if (!file.Create(fileName)) return ReceiveFailure("ROM file create error");
  const Received received = ReceiveBody(file, progress, expectedBody);
  if (received.count < 0) return received;
  if (!file.Finish()) return ReceiveFailure("ROM file write error");
  if (!file.Replace()) return ReceiveFailure("ROM file create error");
  return received;
}

TcpLink::Received TcpLink::ReceiveBody(ReplacementFile& file, ProgressSink* progress, std::int64_t expectedBody) {
  const auto peer = socket_.Peer().value_or(PeerEndpoint{});
  bool first = true;
  std::int64_t total = 0;
  std::int64_t body = 0;
  for (;;) {
    Chunk chunk{};
    const long n = ReceiveChunk(chunk.data());
    if (n < 0) return {};
    if (n == 0) {
      if (total == 0) return ReceiveFailure("Read Data error!");
      if (body < expectedBody) {
        return ReceiveFailure("ROM data shorter than asked : " + std::to_string(body) + " of " +
                              std::to_string(expectedBody) + " bytes");
      }
      return {peer.address, peer.port, total};
    }
    std::int64_t bodyStart = 0;
    if (first) {
      first = false;
      const ResponseHead head = ParseFirstChunk(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
      if (!head.error.empty()) return ReceiveFailure(head.error);
      bodyStart = head.bodyStart;
    }
    // A full disk must not pass for a complete copy of the router's data.
    if (!file.WriteAll(reinterpret_cast<const std::uint8_t*>(chunk.data() + bodyStart),
                       static_cast<std::size_t>(n - bodyStart))) {
      return ReceiveFailure("ROM file write error");
    }
    if (progress != nullptr) progress->AdvanceProgress(n);
    total += n;
    body += n - bodyStart;
  }
}

}  // namespace fwu
