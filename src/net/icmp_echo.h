#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/echo_service.h"

namespace fwu {

// One ICMP echo at a time to a host given as dotted text or name. The
// address is resolved once per change of its text.
class TIcmpEcho {
 public:
  // Raises IcmpException("Unable to get ping handle") when the service has
  // no handle.
  explicit TIcmpEcho(std::unique_ptr<EchoService> service);

  const std::string& Address() const { return address_; }
  void SetAddress(const std::string& address);
  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  int Timeout() const { return timeoutMs_; }
  void SetTimeout(int timeoutMs) { timeoutMs_ = timeoutMs; }
  int TTL() const { return ttl_; }
  void SetTTL(int ttl) { ttl_ = ttl; }
  int Flags() const { return flags_; }
  void SetFlags(int flags) { flags_ = flags; }

  // Number of echo replies: 0 when nothing came back within Timeout or the
  // address cannot be used. Blocks for up to Timeout ms.
  int Ping();

  int LastError() const { return lastError_; }
  const std::string& HostName() const { return hostName_; }
  const std::string& HostIP() const { return hostIp_; }
  const EchoResult& LastReply() const { return lastReply_; }

  // Diagnostic texts ("Unable to resolve ...", "Invalid host address").
  std::function<void(const std::string&)> OnDisplay;

 private:
  void Resolve();
  void Display(const std::string& text);

  std::unique_ptr<EchoService> service_;
  std::string address_;
  bool resolved_ = false;
  Ipv4 resolvedAddress_ = kBroadcastIpv4;
  std::string hostName_;
  std::string hostIp_;
  int size_ = 56;
  int timeoutMs_ = 4000;
  int ttl_ = 64;
  int flags_ = 0;
  EchoResult lastReply_;
  int lastError_ = 0;
};

}  // namespace fwu
