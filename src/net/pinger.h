#pragma once

#include <functional>
#include <memory>
#include <string>

#include "net/icmp_echo.h"

namespace fwu {

// The echo component the windows hold: its properties are those of the
// TIcmpEcho it owns.
class TPinger {
 public:
  explicit TPinger(std::unique_ptr<EchoService> service) : echo_(std::move(service)) {}

  const std::string& Address() const { return echo_.Address(); }
  void SetAddress(const std::string& address) { echo_.SetAddress(address); }
  int Size() const { return echo_.Size(); }
  void SetSize(int size) { echo_.SetSize(size); }
  int Timeout() const { return echo_.Timeout(); }
  void SetTimeout(int timeoutMs) { echo_.SetTimeout(timeoutMs); }
  int TTL() const { return echo_.TTL(); }
  void SetTTL(int ttl) { echo_.SetTTL(ttl); }
  int Flags() const { return echo_.Flags(); }
  void SetFlags(int flags) { echo_.SetFlags(flags); }
  int LastError() const { return echo_.LastError(); }
  void SetOnDisplay(std::function<void(const std::string&)> onDisplay) { echo_.OnDisplay = std::move(onDisplay); }

  int Ping() { return echo_.Ping(); }

 private:
  TIcmpEcho echo_;
};

}  // namespace fwu
