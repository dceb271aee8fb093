#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace fwu {

// (NumberBytes, FromIP, Port) after a datagram arrived; the bytes are
// fetched with ReadBuffer.
using TReceiveEvent = std::function<void(int numberBytes, const std::string& fromIP, int port)>;

// The datagram component as the TFTP window uses it: a remote host and
// port, one datagram per SendBuffer, and events on the window thread. The
// TFTP window is written against this, so that its tests can play the
// router without sockets.
class DatagramComponent {
 public:
  virtual ~DatagramComponent() = default;

  // A fresh socket bound to a port the system picks, for one exchange;
  // Close ends it, and with it whatever still arrives for that exchange.
  virtual void Open() = 0;
  virtual void Close() = 0;

  virtual void SetRemoteHost(const std::string& host) = 0;
  virtual void SetRemotePort(int port) = 0;
  // One datagram to RemoteHost:RemotePort; OnDataSend fires before it
  // returns.
  virtual void SendBuffer(const void* buffer, std::size_t length) = 0;
  // Copies the datagram received last, at most capacity bytes; returns the
  // count copied.
  virtual std::size_t ReadBuffer(void* destination, std::size_t capacity) = 0;

  TReceiveEvent OnDataReceived;
  std::function<void()> OnDataSend;
};

}  // namespace fwu
