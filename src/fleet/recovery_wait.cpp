#include "fleet/recovery_wait.h"

#include "platform/udp_socket.h"
#include "search/probes.h"

namespace fwu {

namespace {

// Answers are read this often between two probes: a boot loader that
// answers is seen within this time of its answer.
constexpr std::int64_t kReadIntervalMs = 100;

}  // namespace

RecoveryWait::RecoveryWait(EventLoop& loop, std::unique_ptr<DatagramEndpoint> socket)
    : loop_(loop), socket_(std::move(socket)) {}

RecoveryWait::~RecoveryWait() { Stop(); }

bool RecoveryWait::Start(std::int64_t timeoutMs, Done done, std::string& error) {
  if (socket_->Create() != 0 || socket_->Bind(Ipv4Endpoint{}) != 0 || socket_->EnableBroadcast() != 0) {
    error = socket_->LastErrorDescription();
    socket_->Close();
    return false;
  }
  interfaces_ = socket_->Interfaces();
  deadline_.reset();
  if (timeoutMs >= 0) deadline_ = loop_.NowMs() + timeoutMs;
  nextProbe_ = loop_.NowMs();
  done_ = std::move(done);
  // The first probe goes at the first tick: done is never called from
  // inside Start.
  timer_ = loop_.StartTimer(kReadIntervalMs, [this] { Tick(); });
  return true;
}

void RecoveryWait::Stop() {
  if (timer_) loop_.StopTimer(*timer_);
  timer_.reset();
  if (socket_->IsCreated()) socket_->Close();
}

void RecoveryWait::Tick() {
  if (const auto found = ReadAnswers()) {
    Finish(found);
    return;
  }
  const std::int64_t now = loop_.NowMs();
  if (deadline_ && now >= *deadline_) {
    Finish(std::nullopt);
    return;
  }
  if (now < nextProbe_) return;
  // Read again each time: the cable to the router is often plugged in
  // after the program was started.
  interfaces_ = socket_->Interfaces();
  const Bytes probe = BuildProbe(ProbeKind::Recovery, "");
  for (const NetworkInterface& via : interfaces_) {
    std::size_t sent = 0;
    // A link that is down now (its cable just plugged) is tried again at
    // the next probe.
    socket_->SendToVia(Ipv4Endpoint{kBroadcastIpv4, ProbePort(ProbeKind::Recovery)}, via, probe, sent);
  }
  nextProbe_ = now + kProbeIntervalMs;
}

std::optional<RecoveryWait::Found> RecoveryWait::ReadAnswers() {
  Bytes buffer(ReadBufferSize(ProbeKind::Recovery));
  for (;;) {
    std::size_t received = 0;
    Ipv4Endpoint sender;
    if (socket_->ReceiveFrom(buffer, received, sender) != 0) return std::nullopt;
    if (const auto texts = ParseAnswer(ProbeKind::Recovery, std::span(buffer.data(), received))) {
      return Found{FormatDottedIpv4(sender.address), texts->romId};
    }
  }
}

void RecoveryWait::Finish(const std::optional<Found>& found) {
  Stop();
  // The caller may destroy this object from inside done.
  const Done done = std::move(done_);
  done(found);
}

std::unique_ptr<RecoveryWait> MakeRecoveryWait(EventLoop& loop) {
  return std::make_unique<RecoveryWait>(loop, std::make_unique<UdpSocket>());
}

}  // namespace fwu
