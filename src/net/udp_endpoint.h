#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "net/datagram_component.h"
#include "platform/event_loop.h"
#include "platform/udp_socket.h"

namespace fwu {

// Raised by the datagram endpoint; the TFTP window does not catch it.
class UdpSocketError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One IPv4 datagram socket whose arrivals are delivered on the loop's
// thread, one datagram per OnDataReceived.
//
//   TUdpEndpoint UDP1(loop);
//   UDP1.OnDataReceived = ...;
//   UDP1.Loaded();                 // bound to LocalPort (0: the system picks)
//   UDP1.SetRemoteHost("192.168.1.1"); UDP1.SetRemotePort(69);
//   UDP1.SendBuffer(packet, size);
class TUdpEndpoint final : public DatagramComponent {
 public:
  static constexpr std::size_t kReceiveCapacity = 2048;

  explicit TUdpEndpoint(EventLoop& loop);
  ~TUdpEndpoint() override;
  TUdpEndpoint(const TUdpEndpoint&) = delete;
  TUdpEndpoint& operator=(const TUdpEndpoint&) = delete;

  const std::string& RemoteHost() const { return remoteHost_; }
  int RemotePort() const { return remotePort_; }
  int LocalPort() const { return localPort_; }
  void SetRemoteHost(const std::string& host) override { remoteHost_ = host; }
  void SetRemotePort(int port) override { remotePort_ = port; }
  // At run time this makes a new socket and binds it again.
  void SetLocalPort(int port);
  // The port the system bound, for tests and logs.
  std::uint16_t BoundPort();

  // Binds to any local address and LocalPort and starts delivering arrivals.
  void Loaded();
  // A new socket, bound as Loaded binds; Close closes the socket.
  void Open() override;
  void Close() override { CloseSocket(); }
  void SendBuffer(const void* buffer, std::size_t length) override;
  std::size_t ReadBuffer(void* destination, std::size_t capacity) override;

  // May set a new length (and buffer) for a send asked for with length 0.
  std::function<void(const void*& buffer, std::size_t& length)> OnBufferInvalid;
  // May supply another host name after a failed lookup; empty gives up.
  std::function<void(std::string& host)> OnInvalidHost;
  std::function<void(const std::string& text)> OnError;

 private:
  void CreateSocket();
  void Bind();
  void Rebind();
  void CloseSocket();
  void ReadOneDatagram();
  Ipv4 ResolveRemote();
  [[noreturn]] void RaiseError(int number);

  EventLoop& loop_;
  UdpSocket socket_;
  EventLoop::WatchId watch_ = 0;
  std::string remoteHost_;
  int remotePort_ = 0;
  int localPort_ = 0;
  bool loaded_ = false;
  std::array<std::uint8_t, kReceiveCapacity> received_{};
  std::size_t receivedLength_ = 0;
};

}  // namespace fwu
