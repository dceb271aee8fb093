#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/socket_calls.h"

namespace fwu {

class ReadOnlyFile;

// One blocking IPv4 TCP connection. Errors are kept as Windows Sockets
// numbers (LastError) so that the texts built from them read the same on
// every platform.
class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // A fresh stream socket; an open one is closed first.
  bool Create();
  bool Valid() const { return fd_ >= 0; }

  // Takes this local address (any port) for the connection to come.
  bool BindTo(const std::string& dottedAddress);

  // Connects to a dotted IPv4 address (no name lookup). Gives up after
  // timeoutMs so that a silent address cannot hold the caller for the
  // several minutes the kernel would otherwise retry.
  bool Connect(const std::string& dottedAddress, std::uint16_t port, int timeoutMs);

  // Every later send or receive call returns after at most ms without
  // progress, so a peer that stops reading or writing cannot hang a thread.
  bool SetIoTimeout(int ms);

  // Failed and Interrupted leave their reason in LastError.
  Readiness WaitReadable(int timeoutMs);
  Readiness WaitWritable(int timeoutMs);

  // Bytes taken or received, 0 when the peer closed (Receive), -1 on error.
  // A closed peer never raises a signal.
  long Send(const void* data, std::size_t length);
  // Sends up to length bytes of the file from offset, straight from the
  // system's copy of it; the count taken, -1 on error.
  long SendFrom(const ReadOnlyFile& file, std::uint64_t offset, std::size_t length);
  long Receive(void* buffer, std::size_t capacity);

  std::optional<PeerEndpoint> Peer() const;

  // Shuts both directions down and closes; nothing when not open.
  void Close();
  // Closes at once and makes the peer see a reset, as a router that
  // reboots in mid-answer does.
  void CloseWithReset();
  // Shuts both directions down but keeps the descriptor: a call blocked on
  // the socket in another thread returns at once.
  void Shutdown();

  // Winsock number of the last failed call on this object.
  int LastError() const { return lastError_; }

 private:
  friend class TcpListener;
  explicit TcpSocket(int fd) : fd_(fd) {}
  Readiness Wait(SocketWants wants, int timeoutMs);
  bool Fail();

  int fd_ = -1;
  int lastError_ = 0;
};

// A listening socket for the loopback peers of tests and for simulators.
class TcpListener {
 public:
  TcpListener() = default;
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  // Port 0 picks a free one; Port() tells which.
  bool Listen(const std::string& dottedAddress, std::uint16_t port);
  std::uint16_t Port() const { return port_; }
  // Waits up to timeoutMs for one connection.
  std::optional<TcpSocket> Accept(int timeoutMs);
  void Close();

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace fwu
