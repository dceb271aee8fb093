#include "net/async_socket.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <span>

#include "net/socket_exception.h"
#include "platform/ascii_case.h"

namespace fwu {

namespace {

constexpr int kInvalidArgument = 10022;
constexpr int kProtocolNotSupported = 10043;
constexpr int kAddressNotAvailable = 10049;
constexpr int kNetworkUnreachable = 10051;
constexpr int kConnectionReset = 10054;
constexpr int kNotConnected = 10057;

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<std::uint16_t> ParsePort(const std::string& text) {
  const std::string trimmed = Trim(text);
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
  if (ec != std::errc() || end != trimmed.data() + trimmed.size() || trimmed.empty() || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

bool IsUdp(const std::string& proto) {
  return AsciiLower(Trim(proto)) == "udp";
}

std::string Printf(const char* format, int code) {
  char text[64];
  std::snprintf(text, sizeof text, format, code);
  return text;
}

}  // namespace

TAsyncSocket::TAsyncSocket(std::unique_ptr<DatagramEndpoint> endpoint) : endpoint_(std::move(endpoint)) {}

TAsyncSocket::~TAsyncSocket() { Close(); }

void TAsyncSocket::SetAddr(const std::string& addr) {
  if (state_ != State::Closed) throw SocketException("Cannot change Addr if not closed", 0);
  addr_ = Trim(addr);
}

void TAsyncSocket::RaiseEndpointError(int code, const std::string& function) {
  RaiseSocketError(code, function, endpoint_->LastErrorDescription());
}

void TAsyncSocket::RaiseSocketError(int code, const std::string& function, const std::string& description) {
  lastError_ = code;
  if (code == kConnectionReset || code == kNotConnected || state_ == State::Closed) {
    endpoint_->Close();
    state_ = State::Closed;
  }
  throw SocketException("Error " + std::to_string(code) + " in function " + function + "\r\n" + description, code);
}

void TAsyncSocket::Connect() {
  if (state_ != State::Closed) throw SocketException("Connect: Socket already in use", 0);
  if (port_.empty()) throw SocketException("Connect: No Port Specified", 0);
  if (addr_.empty()) throw SocketException("Connect: No IP Address Specified", 0);
  if (proto_.empty()) throw SocketException("Connect: No Protocol Specified", 0);
  // Only the datagram part of the component exists; a stream socket is
  // refused the way the system refuses an unknown protocol.
  if (!IsUdp(proto_)) RaiseSocketError(kProtocolNotSupported, "Connect (socket)", "Protocol not supported");
  OpenDatagramSocket();
  state_ = State::Connected;
  lastError_ = 0;
  if (OnSessionConnected) OnSessionConnected(0);
}

void TAsyncSocket::OpenDatagramSocket() {
  const ResolvedHost remote = ResolveHostIpv4(addr_);
  if (!remote.address) RaiseSocketError(remote.error, "Connect (gethostbyname)", "Host not found");
  const auto remotePort = ParsePort(port_);
  if (!remotePort) RaiseSocketError(kInvalidArgument, "Connect (port)", "Invalid port number");
  destination_ = {*remote.address, *remotePort};

  const auto localPort = ParsePort(localPort_);
  if (!localPort) RaiseSocketError(kInvalidArgument, "Connect (local port)", "Invalid port number");
  if (const int error = endpoint_->Create()) RaiseEndpointError(error, "Connect (socket)");

  // From here on a failure must not leave the handle behind.
  const auto fail = [this](const std::string& text, int code) {
    lastError_ = code;
    endpoint_->Close();
    throw SocketException(text, code);
  };
  const auto local = ParseDottedIpv4(Trim(localAddr_));
  int error = local ? endpoint_->Bind({*local, *localPort}) : kAddressNotAvailable;
  if (error != 0) fail(Printf("winsock.bind failed, error #%d", error), error);
  std::uint16_t bound = 0;
  if ((error = endpoint_->BoundPort(bound)) != 0) fail(Printf("winsock.getsockname failed, error #%d", error), error);
  localPort_ = std::to_string(bound);
  if (destination_.address == kBroadcastIpv4) {
    if ((error = endpoint_->EnableBroadcast()) != 0) RaiseEndpointError(error, "setsockopt(SO_BROADCAST)");
  }
}

int TAsyncSocket::Send(const void* data, std::size_t length) {
  if (state_ != State::Connected) RaiseSocketError(kNotConnected, "Send", "Socket is not connected");
  std::size_t sent = 0;
  const auto bytes = std::span(static_cast<const std::uint8_t*>(data), length);
  // The routing table sends a broadcast out of one interface at most, and
  // out of none without a default route; the LAN is every interface.
  const bool broadcast = destination_.address == kBroadcastIpv4;
  int error = broadcast ? kNetworkUnreachable : endpoint_->SendTo(destination_, bytes, sent);
  if (error == kNetworkUnreachable) error = SendOutOfEveryInterface(bytes, sent);
  if (error != 0) RaiseEndpointError(error, "Send");
  return static_cast<int>(sent);
}

int TAsyncSocket::SendOutOfEveryInterface(std::span<const std::uint8_t> bytes, std::size_t& sent) {
  const auto interfaces = endpoint_->Interfaces();
  if (interfaces.empty()) RaiseSocketError(kNetworkUnreachable, "Send", "No network interface is up");
  // One interface that takes the datagram is enough: the others may be
  // down or unplugged, as a laptop's Wi-Fi often is.
  int error = 0;
  bool anySent = false;
  for (const NetworkInterface& via : interfaces) {
    std::size_t count = 0;
    const int failure = endpoint_->SendToVia(destination_, via, bytes, count);
    if (failure == 0) {
      anySent = true;
      sent = count;
    } else {
      error = failure;
    }
  }
  return anySent ? 0 : error;
}

int TAsyncSocket::ReceiveFrom(void* buffer, std::size_t size, Ipv4Endpoint& sender) {
  if (state_ != State::Connected) {
    lastError_ = kNotConnected;
    return -1;
  }
  std::size_t received = 0;
  const int error = endpoint_->ReceiveFrom(std::span(static_cast<std::uint8_t*>(buffer), size), received, sender);
  if (error != 0) {
    lastError_ = error;
    return -1;
  }
  return static_cast<int>(received);
}

void TAsyncSocket::Close() {
  endpoint_->Close();
  state_ = State::Closed;
}

}  // namespace fwu
