#pragma once

#include <memory>
#include <string>

#include "net/icmp_echo.h"
#include "platform/clock.h"
#include "platform/icmp_socket.h"

namespace fwu {

// Two echoes of 127.0.0.1 through the system's own socket: what went wrong,
// or nothing. Each reply must come at once, not at the time-out, and be
// matched to its own request.
inline std::string LoopbackEchoFailure() {
  auto socket = std::make_unique<IcmpSocket>();
  if (!socket->Ready()) return "neither a ping socket nor a raw socket could be opened";
  TIcmpEcho echo(std::move(socket));
  echo.SetAddress("127.0.0.1");
  echo.SetTimeout(2000);
  const auto start = MonotonicMs();
  if (echo.Ping() != 1) return "no reply, error " + std::to_string(echo.LastError());
  if (MonotonicMs() - start >= 500) return "the reply waited for the time-out";
  if (echo.Ping() != 1) return "no reply to the second echo, error " + std::to_string(echo.LastError());
  return {};
}

}  // namespace fwu
