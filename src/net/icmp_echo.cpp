#include "net/icmp_echo.h"

#include <algorithm>

#include "net/socket_exception.h"

namespace fwu {

namespace {

constexpr int kBadDestination = 11018;
// The IP header's "don't fragment" bit as the echo flags carry it.
constexpr int kDontFragmentFlag = 0x02;
// Largest payload an IPv4 echo request can carry.
constexpr int kMaxPayload = 65500;
constexpr const char* kPayloadText = "fwupgrade echo request";

Bytes BuildPayload(int size) {
  Bytes payload(static_cast<std::size_t>(std::clamp(size, 0, kMaxPayload)), ' ');
  const std::string text = kPayloadText;
  std::copy_n(text.begin(), std::min(text.size(), payload.size()), payload.begin());
  return payload;
}

}  // namespace

TIcmpEcho::TIcmpEcho(std::unique_ptr<EchoService> service) : service_(std::move(service)) {
  if (!service_ || !service_->Ready()) throw IcmpException("Unable to get ping handle");
}

void TIcmpEcho::SetAddress(const std::string& address) {
  if (address == address_) return;
  address_ = address;
  resolved_ = false;
}

void TIcmpEcho::Display(const std::string& text) {
  if (OnDisplay) OnDisplay(text);
}

void TIcmpEcho::Resolve() {
  resolvedAddress_ = kBroadcastIpv4;
  const ResolvedHost host = service_->Resolve(address_);
  if (!host.address) {
    lastError_ = host.error;
    Display("Unable to resolve " + address_);
    return;
  }
  resolvedAddress_ = *host.address;
  hostName_ = host.canonicalName;
  hostIp_ = FormatDottedIpv4(resolvedAddress_);
  resolved_ = true;
}

int TIcmpEcho::Ping() {
  if (!resolved_) Resolve();
  // The broadcast address doubles as "no address": an echo must never go
  // to every host of the LAN.
  if (!resolved_ || resolvedAddress_ == kBroadcastIpv4) {
    lastError_ = kBadDestination;
    Display("Invalid host address");
    return 0;
  }
  EchoRequest request;
  request.address = resolvedAddress_;
  request.ttl = static_cast<std::uint8_t>(std::clamp(ttl_, 1, 255));
  request.dontFragment = (flags_ & kDontFragmentFlag) != 0;
  request.payload = BuildPayload(size_);
  request.timeoutMs = std::max(timeoutMs_, 0);
  lastReply_ = service_->Echo(request);
  lastError_ = lastReply_.error;
  return lastReply_.replies;
}

}  // namespace fwu
