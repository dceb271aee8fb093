#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "net/ftp_reply.h"
#include "platform/stream_socket.h"

namespace fwu {

class EventLoop;

// One TCP connection of the FTP client, with the waits the client makes on
// it. Every wait sleeps at most a couple of milliseconds at a time and lets
// the event loop run in between, so the window stays alive while the
// client blocks its caller; each is bounded by its own limit and ends at
// once when the caller cancels.
class FtpStream {
 public:
  // shouldStop: the caller's cancel flag (or the program ending).
  // onError: told of a failed socket call before it is raised.
  FtpStream(EventLoop& loop, std::function<bool()> shouldStop, std::function<void(int, const std::string&)> onError)
      : loop_(loop), shouldStop_(std::move(shouldStop)), onError_(std::move(onError)) {}

  // Raises ESocketError "Connection Timed out", "Connection Canceled" or
  // "Connection Failed".
  void Connect(const std::string& dottedAddress, std::uint16_t port, int limitMs);
  // Listens on the local address for the server's data connection; Accept
  // takes it. A connection from any other address than the server's is
  // closed at once and the wait goes on: its bytes would otherwise pass
  // for the server's.
  void Listen(const std::string& localAddress);
  void Accept(FtpStream& listener, const std::string& serverAddress, int limitMs);

  // One reply line with its line feed; empty when the server closed.
  // Raises EAbortError "Socket readln aborted" when none comes in time.
  std::string ReadLine(int limitMs);
  // Sends every byte. Each stretch of limitMs in which nothing leaves
  // raises EAbortError "Socket send aborted"; onSent hears every count.
  void SendAll(const std::uint8_t* data, std::size_t length, int limitMs,
               const std::function<void(std::size_t)>& onSent = {});
  // Some bytes, 0 when the server closed; raises "Socket readln aborted"
  // when nothing arrives for limitMs.
  std::size_t Receive(std::uint8_t* buffer, std::size_t capacity, int limitMs);
  // Ends the data sent and waits until the server closes its side, which
  // it does once it has read them all: until then they may still sit in
  // buffers. Raises EAbortError "Socket send aborted" after limitMs.
  void FinishSending(int limitMs);

  // Drops unread input, buffered or not.
  void DiscardPending();
  bool Open() const { return socket_.Valid(); }
  // Open and not closed by the server with nothing left unread.
  bool Alive();
  std::string LocalAddress() const;
  std::string PeerAddress() const;
  std::uint16_t LocalPort() const;
  void Close();
  // The peer sees a reset, never the orderly end of the data.
  void CloseWithReset();

 private:
  enum class WaitEnd { Ready, TimedOut, Stopped };
  WaitEnd Wait(TStreamSocket::Wants wants, int limitMs);
  [[noreturn]] void RaiseSocketError(int number);
  std::size_t ReceiveBefore(std::uint8_t* buffer, std::size_t capacity, std::int64_t deadline,
                            const char* abortText);

  EventLoop& loop_;
  std::function<bool()> shouldStop_;
  std::function<void(int, const std::string&)> onError_;
  TStreamSocket socket_;
  ReplyLineReader lines_;
};

}  // namespace fwu
