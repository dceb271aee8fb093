#include "fleet/running_router_poll.h"

#include <array>

#include "platform/ipv4_address.h"
#include "platform/udp_socket.h"
#include "search/probes.h"

namespace fwu {

namespace {

// Answers are read this often between two probes.
constexpr std::int64_t kReadIntervalMs = 100;

}  // namespace

RunningRouterPoll::RunningRouterPoll(EventLoop& loop, std::unique_ptr<DatagramEndpoint> socket)
    : loop_(loop), socket_(std::move(socket)) {}

RunningRouterPoll::~RunningRouterPoll() { Stop(); }

bool RunningRouterPoll::Start(const std::string& address, std::int64_t timeoutMs, Accept accept, Done done,
                              std::string& error) {
  const auto parsed = ParseDottedIpv4(address);
  if (!parsed) {
    error = "not an IPv4 address: " + address;
    return false;
  }
  if (socket_->Create() != 0 || socket_->Bind(Ipv4Endpoint{}) != 0) {
    error = socket_->LastErrorDescription();
    socket_->Close();
    return false;
  }
  address_ = *parsed;
  deadline_ = loop_.NowMs() + timeoutMs;
  nextProbe_ = loop_.NowMs();
  accept_ = std::move(accept);
  done_ = std::move(done);
  last_.reset();
  // The first probe goes at the first tick: done is never called from
  // inside Start.
  timer_ = loop_.StartTimer(kReadIntervalMs, [this] { Tick(); });
  return true;
}

void RunningRouterPoll::Stop() {
  if (timer_) loop_.StopTimer(*timer_);
  timer_.reset();
  if (socket_->IsCreated()) socket_->Close();
}

void RunningRouterPoll::Tick() {
  if (ReadAnswers()) return;  // done has run: this object may be gone
  const std::int64_t now = loop_.NowMs();
  if (now >= deadline_) {
    Finish(false);
    return;
  }
  if (now >= nextProbe_) {
    const Bytes probe = BuildProbe(ProbeKind::Query, "");
    std::size_t sent = 0;
    // A probe that cannot go now (the link is down while the router
    // restarts) is simply sent again next time.
    socket_->SendTo(Ipv4Endpoint{address_, ProbePort(ProbeKind::Query)}, probe, sent);
    nextProbe_ = now + kProbeIntervalMs;
  }
}

bool RunningRouterPoll::ReadAnswers() {
  std::array<std::uint8_t, 512> buffer{};
  for (;;) {
    std::size_t received = 0;
    Ipv4Endpoint sender;
    if (socket_->ReceiveFrom(buffer, received, sender) != 0) return false;
    if (sender.address != address_) continue;
    const auto texts = ParseAnswer(ProbeKind::Query, std::span(buffer.data(), received));
    if (!texts) continue;
    last_ = Answer{texts->romId, texts->info};
    if (accept_(*last_)) {
      Finish(true);
      return true;
    }
  }
}

void RunningRouterPoll::Finish(bool accepted) {
  Stop();
  // The caller may destroy this object from inside done.
  const Done done = std::move(done_);
  const std::optional<Answer> last = last_;
  done(accepted, last);
}

std::unique_ptr<RunningRouterPoll> MakeRunningRouterPoll(EventLoop& loop) {
  return std::make_unique<RunningRouterPoll>(loop, std::make_unique<UdpSocket>());
}

}  // namespace fwu
