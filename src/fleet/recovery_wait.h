#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/datagram_endpoint.h"
#include "platform/event_loop.h"

namespace fwu {

// Waits, on the loop, for a boot loader to answer the recovery probe: the
// probe goes out of every broadcast interface once a second, and nothing
// else is sent, because a router being powered on listens only a few
// seconds and the technician cannot know which link it is on.
class RecoveryWait {
 public:
  static constexpr std::int64_t kProbeIntervalMs = 1000;

  struct Found {
    std::string address;
    std::string romId;  // as the search's table would hold it
  };
  // Nothing found: the time ran out.
  using Done = std::function<void(const std::optional<Found>& found)>;

  RecoveryWait(EventLoop& loop, std::unique_ptr<DatagramEndpoint> socket);
  ~RecoveryWait();
  RecoveryWait(const RecoveryWait&) = delete;
  RecoveryWait& operator=(const RecoveryWait&) = delete;

  // The interfaces the last probe left by (the ones up at Start before the
  // first).
  const std::vector<NetworkInterface>& Interfaces() const { return interfaces_; }
  // False, with the reason, when no socket can be had; done is then never
  // called. timeoutMs < 0 waits forever.
  bool Start(std::int64_t timeoutMs, Done done, std::string& error);
  // Ends a wait under way without calling done.
  void Stop();

 private:
  void Tick();
  std::optional<Found> ReadAnswers();
  void Finish(const std::optional<Found>& found);

  EventLoop& loop_;
  std::unique_ptr<DatagramEndpoint> socket_;
  std::vector<NetworkInterface> interfaces_;
  std::optional<EventLoop::TimerId> timer_;
  std::optional<std::int64_t> deadline_;
  std::int64_t nextProbe_ = 0;
  Done done_;
};

std::unique_ptr<RecoveryWait> MakeRecoveryWait(EventLoop& loop);

}  // namespace fwu
