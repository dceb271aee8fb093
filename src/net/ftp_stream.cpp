#include "net/ftp_stream.h"

#include <algorithm>

#include "net/ftp_exceptions.h"
#include "platform/event_loop.h"
#include "platform/socket_error.h"
#include "platform/winsock_text.h"

namespace fwu {
namespace {

// The slice a wait sleeps before it lets the loop run again.
constexpr int kSliceMs = 2;

}  // namespace

std::string FtpSocketErrorText(int number) {
  if (number == 0) return "Unrecognized error code";
  const char* text = number == 10101 ? nullptr : WinsockDescription(number);
  if (!text) return "Unknown Error No. " + std::to_string(number);
  std::string description = text;
  if (description.ends_with('.')) description.pop_back();
  return std::to_string(number) + ":" + description;
}

FtpStream::WaitEnd FtpStream::Wait(TStreamSocket::Wants wants, int limitMs) {
  const std::int64_t deadline = loop_.NowMs() + limitMs;
  for (;;) {
    if (shouldStop_()) return WaitEnd::Stopped;
    if (socket_.WaitFor(wants, kSliceMs)) return WaitEnd::Ready;
    loop_.ProcessPending();
    if (loop_.NowMs() >= deadline) return WaitEnd::TimedOut;
  }
}

void FtpStream::RaiseSocketError(int number) {
  const std::string text = FtpSocketErrorText(number);
  if (onError_) onError_(number, text);
  throw ESocketError(text, number);
}

void FtpStream::Connect(const std::string& dottedAddress, std::uint16_t port, int limitMs) {
  const auto start = socket_.StartConnect(dottedAddress, port);
  if (start == TStreamSocket::ConnectStart::Failed) throw ESocketError("Connection Failed", socket_.LastError());
  if (start == TStreamSocket::ConnectStart::Connected) return;
  const WaitEnd end = Wait(TStreamSocket::Wants::Write, limitMs);
  if (end != WaitEnd::Ready) {
    socket_.Close();
    throw ESocketError(end == WaitEnd::Stopped ? "Connection Canceled" : "Connection Timed out", 0);
  }
  if (!socket_.ConnectResult()) {
    const int number = socket_.LastError();
    socket_.Close();
    throw ESocketError("Connection Failed", number);
  }
}

void FtpStream::Listen(const std::string& localAddress) {
  if (!socket_.ListenAnyPort(localAddress)) RaiseSocketError(socket_.LastError());
}

void FtpStream::Accept(FtpStream& listener, const std::string& serverAddress, int limitMs) {
  const std::int64_t deadline = loop_.NowMs() + limitMs;
  for (;;) {
    const WaitEnd end = listener.Wait(TStreamSocket::Wants::Read, static_cast<int>(deadline - loop_.NowMs()));
    if (end == WaitEnd::Stopped) throw ESocketError("Accepting Canceled", 0);
    if (end == WaitEnd::TimedOut) throw ESocketError("Accepting Timed out", wsa::kTimedOut);
    auto accepted = listener.socket_.Accept();
    if (!accepted) {
      if (listener.socket_.LastError() == wsa::kWouldBlock) continue;
      throw ESocketError("Error creating Data Connection", listener.socket_.LastError());
    }
    const auto peer = accepted->Peer();
    if (peer && peer->address == serverAddress) {
      socket_ = std::move(*accepted);
      lines_.Clear();
      return;
    }
    accepted->CloseWithReset();
  }
}

std::string FtpStream::ReadLine(int limitMs) {
  const std::int64_t deadline = loop_.NowMs() + limitMs;
  std::uint8_t chunk[4096];
  for (;;) {
    if (auto line = lines_.TakeLine()) return *line;
    const std::int64_t left = deadline - loop_.NowMs();
    if (left <= 0 || Wait(TStreamSocket::Wants::Read, static_cast<int>(left)) != WaitEnd::Ready) {
      throw EAbortError("Socket readln aborted");
    }
    const long n = socket_.Receive(chunk, std::min(sizeof chunk, lines_.Room()));
    if (n == 0) {
      // The server closed: what it left without a line end is the last line.
      return lines_.TakeRest();
    }
    if (n < 0) {
      if (socket_.LastError() == wsa::kWouldBlock) continue;
      RaiseSocketError(socket_.LastError());
    }
    lines_.Feed({chunk, static_cast<std::size_t>(n)});
  }
}

void FtpStream::SendAll(const std::uint8_t* data, std::size_t length, int limitMs,
                        const std::function<void(std::size_t)>& onSent) {
  std::size_t sent = 0;
  while (sent < length) {
    const long n = socket_.Send(data + sent, length - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      if (onSent) onSent(static_cast<std::size_t>(n));
      loop_.ProcessPending();
      continue;
    }
    if (socket_.LastError() != wsa::kWouldBlock) RaiseSocketError(socket_.LastError());
    if (Wait(TStreamSocket::Wants::Write, limitMs) != WaitEnd::Ready) throw EAbortError("Socket send aborted");
  }
}

std::size_t FtpStream::ReceiveBefore(std::uint8_t* buffer, std::size_t capacity, std::int64_t deadline,
                                     const char* abortText) {
  for (;;) {
    const long n = socket_.Receive(buffer, capacity);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (socket_.LastError() != wsa::kWouldBlock) RaiseSocketError(socket_.LastError());
    const std::int64_t left = deadline - loop_.NowMs();
    if (left <= 0 || Wait(TStreamSocket::Wants::Read, static_cast<int>(left)) != WaitEnd::Ready) {
      throw EAbortError(abortText);
    }
  }
}

std::size_t FtpStream::Receive(std::uint8_t* buffer, std::size_t capacity, int limitMs) {
  return ReceiveBefore(buffer, capacity, loop_.NowMs() + limitMs, "Socket readln aborted");
}

void FtpStream::FinishSending(int limitMs) {
  socket_.ShutdownSending();
  const std::int64_t deadline = loop_.NowMs() + limitMs;
  std::uint8_t ignored[512];
  while (ReceiveBefore(ignored, sizeof ignored, deadline, "Socket send aborted") > 0) {
  }
}

void FtpStream::DiscardPending() {
  lines_.Clear();
  if (socket_.Valid()) socket_.DiscardPending();
}

bool FtpStream::Alive() { return socket_.Valid() && !(lines_.Empty() && socket_.PeerClosed()); }

std::string FtpStream::LocalAddress() const {
  const auto local = socket_.Local();
  return local ? local->address : std::string();
}

std::string FtpStream::PeerAddress() const {
  const auto peer = socket_.Peer();
  return peer ? peer->address : std::string();
}

std::uint16_t FtpStream::LocalPort() const {
  const auto local = socket_.Local();
  return local ? local->port : 0;
}

void FtpStream::Close() {
  socket_.Close();
  lines_.Clear();
}

void FtpStream::CloseWithReset() {
  socket_.CloseWithReset();
  lines_.Clear();
}

}  // namespace fwu
