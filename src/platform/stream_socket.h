#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/ipv4_address.h"
#include "platform/tcp_socket.h"

namespace fwu {

// One non-blocking IPv4 TCP socket for components that wait on their own
// terms (the FTP client pumps window events between short waits): every
// call returns at once, and WaitFor bounds the time spent in the system.
// Errors are Windows Sockets numbers, as everywhere in the program.
class TStreamSocket {
 public:
  enum class ConnectStart { Connected, InProgress, Failed };
  using Wants = SocketWants;

  TStreamSocket() = default;
  ~TStreamSocket();
  TStreamSocket(TStreamSocket&& other) noexcept;
  TStreamSocket& operator=(TStreamSocket&& other) noexcept;
  TStreamSocket(const TStreamSocket&) = delete;
  TStreamSocket& operator=(const TStreamSocket&) = delete;

  bool Valid() const { return fd_ >= 0; }

  // Starts a connection to a dotted IPv4 address; ConnectResult tells how
  // it ended once the socket is writable.
  ConnectStart StartConnect(const std::string& dottedAddress, std::uint16_t port);
  bool ConnectResult();

  // Listens on one local address, on a port the system picks, for the one
  // connection a data transfer needs.
  bool ListenAnyPort(const std::string& dottedAddress);
  // Listens on every address on the given port for a server's many
  // connections. A restarted server gets its port back at once, however
  // many of its old connections still linger.
  bool ListenOn(std::uint16_t port);
  // A waiting connection, or nothing (LastError says whether that is only
  // "would block").
  std::optional<TStreamSocket> Accept();

  // Up to ms milliseconds until the socket can be read or written; true
  // when it can (or has failed, which the next call then reports), false
  // when the time ran out or a request to end the program came.
  bool WaitFor(Wants wants, int ms);

  // Bytes taken or received; 0 from Receive when the peer closed; -1 on
  // failure, with LastError 10035 when the call would have blocked.
  long Send(const void* data, std::size_t length);
  long Receive(void* buffer, std::size_t capacity);
  // Reads and drops whatever has arrived; false when the peer has closed.
  bool DiscardPending();
  // True when the peer has closed and nothing unread is left.
  bool PeerClosed();

  std::optional<PeerEndpoint> Local() const;
  std::optional<PeerEndpoint> Peer() const;
  // What an event loop watches.
  int Descriptor() const { return fd_; }

  // Ends this side's sending: the peer reads the end of the data, and what
  // the peer still sends can be read.
  void ShutdownSending();

  // Closes without lingering: queued data still leaves, the call never waits.
  void Close();
  // Closes at once and makes the peer see a reset, not the end of the data:
  // what is still queued is dropped.
  void CloseWithReset();
  int LastError() const { return lastError_; }

 private:
  explicit TStreamSocket(int fd) : fd_(fd) {}
  void Swap(TStreamSocket& other) noexcept;
  bool Fail();
  bool OpenNonBlocking();
  // Binds the open socket to the address and port, and listens.
  bool BindAndListen(const Ipv4Endpoint& local, int backlog);

  int fd_ = -1;
  int lastError_ = 0;
};

}  // namespace fwu
