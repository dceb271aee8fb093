#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/datagram_endpoint.h"
#include "platform/event_loop.h"

namespace fwu {

// Waits, on the loop, until the router at one address answers the query
// probe as a running router with an answer the caller accepts: the check
// that a router came back after its reboot. Sends the probe once a second
// until the time runs out.
class RunningRouterPoll {
 public:
  static constexpr std::int64_t kProbeIntervalMs = 1000;

  struct Answer {
    std::string romId;
    std::string info;
  };
  using Accept = std::function<bool(const Answer&)>;
  // accepted: the router answered as wanted in time. last: the last answer
  // heard from it, accepted or not.
  using Done = std::function<void(bool accepted, const std::optional<Answer>& last)>;

  RunningRouterPoll(EventLoop& loop, std::unique_ptr<DatagramEndpoint> socket);
  ~RunningRouterPoll();
  RunningRouterPoll(const RunningRouterPoll&) = delete;
  RunningRouterPoll& operator=(const RunningRouterPoll&) = delete;

  // False, with the socket's reason, when no socket can be had; done is
  // then never called.
  bool Start(const std::string& address, std::int64_t timeoutMs, Accept accept, Done done, std::string& error);
  // Ends a poll under way without calling done.
  void Stop();

 private:
  void Tick();
  // True when an answer was accepted and done has run.
  bool ReadAnswers();
  void Finish(bool accepted);

  EventLoop& loop_;
  std::unique_ptr<DatagramEndpoint> socket_;
  std::optional<EventLoop::TimerId> timer_;
  std::uint32_t address_ = 0;
  std::int64_t deadline_ = 0;
  std::int64_t nextProbe_ = 0;
  Accept accept_;
  Done done_;
  std::optional<Answer> last_;
};

// The poll on this machine's own sockets.
std::unique_ptr<RunningRouterPoll> MakeRunningRouterPoll(EventLoop& loop);

}  // namespace fwu
