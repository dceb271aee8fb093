#include "fleet/running_router_poll.h"

#include <gtest/gtest.h>

#include "platform/manual_event_loop.h"
#include "search/probes.h"
#include "unit/net/fake_datagram_network.h"
#include "unit/search/answer_builders.h"

namespace fwu {
namespace {

using testing::FakeDatagramNetwork;
using testing::QueryAnswer;

struct Outcome {
  bool ended = false;
  bool accepted = false;
  std::optional<RunningRouterPoll::Answer> last;
  std::int64_t atMs = 0;
};

// The router at 192.168.9.1 answers every query probe with romId and info
// (or not at all); the poll wants info "v2".
Outcome Poll(std::optional<std::pair<std::string, std::string>> answer, std::size_t* probes = nullptr) {
  ManualEventLoop loop;
  auto network = std::make_unique<FakeDatagramNetwork>();
  FakeDatagramNetwork& lan = *network;
  if (answer) lan.Respond("192.168.9.1", ProbePort(ProbeKind::Query), QueryAnswer(answer->first, answer->second));
  lan.Respond("192.168.9.2", ProbePort(ProbeKind::Query), QueryAnswer("QRT101", "v2"));  // another router
  RunningRouterPoll poll(loop, std::move(network));
  Outcome outcome;
  std::string error;
  const auto accept = [](const RunningRouterPoll::Answer& a) { return a.romId == "QRT101" && a.info == "v2"; };
  EXPECT_TRUE(poll.Start("192.168.9.1", 10000, accept,
                         [&](bool accepted, const auto& last) {
                           outcome = {true, accepted, last, loop.NowMs()};
                         },
                         error));
  loop.RunUntil([&] { return outcome.ended; });
  if (probes) *probes = lan.sent.size();
  return outcome;
}

TEST(RunningRouterPoll, AcceptsTheWantedAnswerAtOnce) {
  const Outcome outcome = Poll(std::make_pair("QRT101", "v2"));
  EXPECT_TRUE(outcome.accepted);
  EXPECT_EQ(outcome.last->info, "v2");
  EXPECT_LT(outcome.atMs, 1000);
}

TEST(RunningRouterPoll, KeepsAskingUntilTheTimeRunsOut) {
  std::size_t probes = 0;
  const Outcome other = Poll(std::make_pair("QRT101", "v1"), &probes);
  EXPECT_FALSE(other.accepted);
  EXPECT_EQ(other.last->info, "v1") << "what it answered instead";
  EXPECT_EQ(other.atMs, 10000);
  EXPECT_EQ(probes, 10u) << "one probe a second, to the router's address only";

  const Outcome silent = Poll(std::nullopt);
  EXPECT_FALSE(silent.accepted);
  EXPECT_FALSE(silent.last) << "another router's answer is not this one's";
}

}  // namespace
}  // namespace fwu
