#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/datagram_endpoint.h"

namespace fwu {

// The asynchronous socket component, as far as the device search uses it:
// a UDP endpoint configured through text properties, opened, sent from,
// polled with a non-blocking receive, and closed. Failures raise
// SocketException.
class TAsyncSocket {
 public:
  enum class State { Closed, Connected };

  explicit TAsyncSocket(std::unique_ptr<DatagramEndpoint> endpoint);
  ~TAsyncSocket();
  TAsyncSocket(const TAsyncSocket&) = delete;
  TAsyncSocket& operator=(const TAsyncSocket&) = delete;

  const std::string& Proto() const { return proto_; }
  const std::string& Addr() const { return addr_; }
  const std::string& Port() const { return port_; }
  const std::string& LocalAddr() const { return localAddr_; }
  const std::string& LocalPort() const { return localPort_; }
  void SetProto(const std::string& proto) { proto_ = proto; }
  // Only while closed; blanks around the text are dropped.
  void SetAddr(const std::string& addr);
  void SetPort(const std::string& port) { port_ = port; }
  void SetLocalAddr(const std::string& addr) { localAddr_ = addr; }
  void SetLocalPort(const std::string& port) { localPort_ = port; }

  State GetState() const { return state_; }
  int LastError() const { return lastError_; }

  // Raised at the end of a successful Connect, with error 0.
  std::function<void(int error)> OnSessionConnected;

  // Opens the socket; for UDP nothing is sent. Writes the bound port back
  // into LocalPort, so the next Connect binds the same port again.
  void Connect();
  // One datagram to Addr:Port; returns the bytes queued. A broadcast, and
  // a unicast that no route reaches, go out of every broadcast interface
  // instead, each with that interface's address as source.
  int Send(const void* data, std::size_t length);
  // At most one waiting datagram. -1 with LastError 10035 when nothing waits,
  // -1 with 10040 when it did not fit (it is dropped), else its length.
  int ReceiveFrom(void* buffer, std::size_t size, Ipv4Endpoint& sender);
  void Close();

 private:
  // "Error <code> in function <function>" and the error's description; the
  // handle is dropped when the failure leaves nothing usable behind.
  [[noreturn]] void RaiseSocketError(int code, const std::string& function, const std::string& description);
  [[noreturn]] void RaiseEndpointError(int code, const std::string& function);
  void OpenDatagramSocket();
  // 0 when at least one interface took the datagram, else the last failure.
  int SendOutOfEveryInterface(std::span<const std::uint8_t> bytes, std::size_t& sent);

  std::unique_ptr<DatagramEndpoint> endpoint_;
  std::string proto_ = "tcp";
  std::string addr_;
  std::string port_;
  std::string localAddr_ = "0.0.0.0";
  std::string localPort_ = "0";
  State state_ = State::Closed;
  Ipv4Endpoint destination_;
  int lastError_ = 0;
};

}  // namespace fwu
