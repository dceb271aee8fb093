#include "udp_hub.h"

#include "platform/event_loop.h"
#include "platform/port_reuse.h"
#include "recorder.h"

namespace fwu {

UdpHub::UdpHub(EventLoop& loop, Recorder& record) : loop_(loop), record_(record) {}

UdpHub::~UdpHub() {
  for (auto& [number, port] : ports_) loop_.Unwatch(port.watch);
}

std::string UdpHub::Listen(std::uint16_t port, Handler handler) {
  auto found = ports_.find(port);
  if (found != ports_.end()) {
    found->second.handlers.push_back(std::move(handler));
    return {};
  }
  auto socket = std::make_unique<UdpSocket>();
  if (socket->Create() != 0) return "socket: " + socket->LastErrorDescription();
  AllowPortReuse(socket->Descriptor());
  // Probes arrive as limited broadcasts; answers may be broadcast too.
  socket->EnableBroadcast();
  if (socket->Bind({kAnyIpv4, port}) != 0) {
    return "bind UDP " + std::to_string(port) + ": " + socket->LastErrorDescription();
  }
  Port& entry = ports_[port];
  entry.watch = loop_.WatchFd(socket->Descriptor(), EventLoop::Interest::Readable, [this, port] { ReadAll(port); });
  entry.socket = std::move(socket);
  entry.handlers.push_back(std::move(handler));
  return {};
}

void UdpHub::ReadAll(std::uint16_t port) {
  Port& entry = ports_.at(port);
  for (;;) {
    std::size_t got = 0;
    Ipv4Endpoint from;
    // Nothing left (or a transient error the next wake-up retries).
    if (entry.socket->ReceiveFrom(receiveBuffer_, got, from) != 0) return;
    const auto payloadEnd = receiveBuffer_.begin() + static_cast<std::ptrdiff_t>(got);
    Datagram datagram{Bytes(receiveBuffer_.begin(), payloadEnd), FormatDottedIpv4(from.address), from.port, port};
    bool claimed = false;
    for (const auto& handler : entry.handlers) {
      if (handler(datagram)) {
        claimed = true;
        break;
      }
    }
    if (!claimed) {
      record_.Line("udp port " + std::to_string(port) + " from " + datagram.fromAddress + ":" +
                   std::to_string(datagram.fromPort) + " len " + std::to_string(got) + " unclaimed");
    }
  }
}

bool UdpHub::Send(std::uint16_t localPort, const Bytes& payload, const std::string& address,
                  std::uint16_t port) {
  auto found = ports_.find(localPort);
  const auto to = ParseDottedIpv4(address);
  if (found == ports_.end() || !to) return false;
  std::size_t sent = 0;
  return found->second.socket->SendTo({*to, port}, payload, sent) == 0 && sent == payload.size();
}

}  // namespace fwu
