#include "net/udp_endpoint.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace fwu {

namespace {

constexpr int kWouldBlock = 10035;

}  // namespace

TUdpEndpoint::TUdpEndpoint(EventLoop& loop) : loop_(loop) { CreateSocket(); }

TUdpEndpoint::~TUdpEndpoint() { CloseSocket(); }

void TUdpEndpoint::CreateSocket() {
  if (const int error = socket_.Create(); error != 0) RaiseError(error);
}

void TUdpEndpoint::RaiseError(int number) {
  // Numbers that carry every bit of would-block are no failure to report.
  if ((number & kWouldBlock) == kWouldBlock) throw UdpSocketError(socket_.LastErrorDescription());
  const std::string text = "Unknown Error No. " + std::to_string(number);
  if (OnError) OnError(text);
  throw UdpSocketError(text);
}

void TUdpEndpoint::Loaded() {
  loaded_ = true;
  Bind();
}

void TUdpEndpoint::Bind() {
  if (const int error = socket_.Bind({kAnyIpv4, static_cast<std::uint16_t>(localPort_)}); error != 0) {
    RaiseError(error);
  }
  watch_ = loop_.WatchFd(socket_.Descriptor(), EventLoop::Interest::Readable, [this] { ReadOneDatagram(); });
}

void TUdpEndpoint::Open() {
  loaded_ = true;
  Rebind();
}

void TUdpEndpoint::Rebind() {
  CloseSocket();
  CreateSocket();
  Bind();
}

void TUdpEndpoint::CloseSocket() {
  if (watch_ != 0) loop_.Unwatch(watch_);
  watch_ = 0;
  socket_.Close();
}

void TUdpEndpoint::SetLocalPort(int port) {
  localPort_ = port;
  if (loaded_) Rebind();
}

std::uint16_t TUdpEndpoint::BoundPort() {
  std::uint16_t port = 0;
  socket_.BoundPort(port);
  return port;
}

// One datagram per notification: a socket still readable afterwards is
// reported again by the loop, so a burst of replies becomes a burst of
// events, as the window's message queue would have delivered them.
void TUdpEndpoint::ReadOneDatagram() {
  Ipv4Endpoint sender;
  std::size_t length = 0;
  if (socket_.ReceiveFrom(received_, length, sender) != 0) return;  // nothing there, or too long and dropped
  receivedLength_ = length;
  if (OnDataReceived) OnDataReceived(static_cast<int>(length), FormatDottedIpv4(sender.address), sender.port);
}

std::size_t TUdpEndpoint::ReadBuffer(void* destination, std::size_t capacity) {
  const std::size_t count = std::min(capacity, receivedLength_);
  std::memcpy(destination, received_.data(), count);
  return count;
}

Ipv4 TUdpEndpoint::ResolveRemote() {
  if (const auto dotted = ParseDottedIpv4(remoteHost_)) return *dotted;
  std::string host = remoteHost_;
  for (;;) {
    const ResolvedHost resolved = ResolveHostIpv4(host);
    if (resolved.address) return *resolved.address;
    std::string replacement;
    if (OnInvalidHost) OnInvalidHost(replacement);
    if (replacement.empty()) throw UdpSocketError("Host Lookup Canceled");
    host = replacement;
  }
}

void TUdpEndpoint::SendBuffer(const void* buffer, std::size_t length) {
  if (length == 0 && OnBufferInvalid) OnBufferInvalid(buffer, length);
  if (length == 0 || buffer == nullptr) throw UdpSocketError("Invalid buffer");
  const Ipv4 address = ResolveRemote();
  if (address == kAnyIpv4) throw UdpSocketError("Null Remote Address");
  std::size_t sent = 0;
  // A failed send is not reported: the datagram is as good as lost on the
  // wire, which the TFTP window's retransmission deals with.
  socket_.SendTo({address, static_cast<std::uint16_t>(remotePort_)},
                 std::span(static_cast<const std::uint8_t*>(buffer), length), sent);
  if (OnDataSend) OnDataSend();
}

}  // namespace fwu
