#pragma once

#include <cstdint>
#include <string>

#include "platform/bytes.h"
#include "platform/ipv4_address.h"

namespace fwu {

struct EchoRequest {
  Ipv4 address = kAnyIpv4;
  std::uint8_t ttl = 64;
  bool dontFragment = false;
  Bytes payload;
  int timeoutMs = 0;
};

struct EchoResult {
  int replies = 0;
  int error = 0;  // 0, or the number the ICMP service reports (11010 timed out)
};

inline constexpr int kIcmpRequestTimedOut = 11010;

// The system's ICMP echo, and the name lookup it goes with. An interface so
// that the search can run against a scripted set of hosts.
class EchoService {
 public:
  virtual ~EchoService() = default;
  // False when no handle could be obtained; nothing can be sent then.
  virtual bool Ready() const = 0;
  virtual ResolvedHost Resolve(const std::string& host) = 0;
  // One echo request; returns when the first reply arrives or the time-out
  // has passed, whichever comes first.
  virtual EchoResult Echo(const EchoRequest& request) = 0;
};

}  // namespace fwu
