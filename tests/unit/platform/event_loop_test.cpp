#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/manual_event_loop.h"
#include "platform/poll_event_loop.h"
#include "platform/udp_socket.h"

namespace fwu {
namespace {

TEST(ManualEventLoop, TimersFireAtTheirOwnVirtualTimesInOrder) {
  ManualEventLoop loop;
  std::vector<std::pair<char, std::int64_t>> ticks;
  loop.StartTimer(300, [&] { ticks.emplace_back('a', loop.NowMs()); });
  const auto b = loop.StartTimer(500, [&] { ticks.emplace_back('b', loop.NowMs()); });
  loop.AdvanceMs(1000);
  loop.StopTimer(b);
  loop.AdvanceMs(500);
  const std::vector<std::pair<char, std::int64_t>> expected{
      {'a', 300}, {'b', 500}, {'a', 600}, {'a', 900}, {'b', 1000}, {'a', 1200}, {'a', 1500}};
  EXPECT_EQ(ticks, expected);
}

TEST(ManualEventLoop, WaitWithoutProcessingMovesTimeButFiresNothing) {
  ManualEventLoop loop;
  int ticks = 0;
  loop.StartTimer(100, [&] { ++ticks; });
  loop.WaitMs(250, false);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(loop.NowMs(), 250);
  loop.WaitMs(0, true);
  EXPECT_EQ(ticks, 1) << "a late timer ticks once, not once per missed interval";
}

TEST(ManualEventLoop, TimerIsNotReenteredFromAWaitInsideItsOwnTick) {
  ManualEventLoop loop;
  int depth = 0, maxDepth = 0, ticks = 0;
  loop.StartTimer(100, [&] {
    ++ticks;
    maxDepth = std::max(maxDepth, ++depth);
    if (ticks == 1) loop.WaitMs(1000, true);
    --depth;
  });
  loop.AdvanceMs(100);
  EXPECT_EQ(maxDepth, 1);
}

TEST(ManualEventLoop, RunUntilReturnsWhenNothingCanChangeTheCondition) {
  ManualEventLoop loop;
  bool done = false;
  loop.StartTimer(5000, [&] { done = true; });
  loop.RunUntil([&] { return done; });
  EXPECT_TRUE(done);
  EXPECT_EQ(loop.NowMs(), 5000);
  loop.RunUntil([] { return false; });  // only a stopped world left: must not hang
}

TEST(PollEventLoop, PostFromOtherThreadsWakesTheLoopAndKeepsOrder) {
  PollEventLoop loop;
  std::vector<int> seen;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) loop.Post([&seen, i] { seen.push_back(i); });
    loop.Post([&] { loop.Quit(); });
  });
  loop.Run();
  worker.join();
  ASSERT_EQ(seen.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
}

// A loopback datagram socket: the one kind of descriptor every system's
// loop can watch.
TEST(PollEventLoop, WatchedDescriptorAndTimerBothDispatch) {
  PollEventLoop loop;
  UdpSocket receiver;
  UdpSocket sender;
  const Ipv4 loopback = *ParseDottedIpv4("127.0.0.1");
  std::uint16_t port = 0;
  ASSERT_EQ(receiver.Create(), 0);
  ASSERT_EQ(receiver.Bind({loopback, 0}), 0);
  ASSERT_EQ(receiver.BoundPort(port), 0);
  ASSERT_EQ(sender.Create(), 0);
  std::uint8_t got = 0;
  const auto watch = loop.WatchFd(receiver.Descriptor(), EventLoop::Interest::Readable, [&] {
    std::size_t received = 0;
    Ipv4Endpoint from;
    ASSERT_EQ(receiver.ReceiveFrom({&got, 1}, received, from), 0);
  });
  loop.StartTimer(20, [&] {
    const std::uint8_t x = 'x';
    std::size_t sent = 0;
    ASSERT_EQ(sender.SendTo({loopback, port}, {&x, 1}, sent), 0);
  });
  loop.RunUntil([&] { return got != 0; });
  loop.Unwatch(watch);
  EXPECT_EQ(got, 'x');
}

TEST(PollEventLoop, WaitWithEventsKeepsTimersTicking) {
  PollEventLoop loop;
  int ticks = 0;
  loop.StartTimer(10, [&] { ++ticks; });
  const auto start = loop.NowMs();
  loop.WaitMs(55, true);
  EXPECT_GE(loop.NowMs() - start, 55);
  EXPECT_GE(ticks, 3);
}

TEST(PollEventLoop, RunUntilNoticesAConditionATimerTickMadeTrue) {
  // The tick stops its own timer: nothing is left to wake poll(2), so the
  // loop must look at the condition before it blocks.
  PollEventLoop loop;
  bool done = false;
  EventLoop::TimerId id = 0;
  id = loop.StartTimer(10, [&] {
    loop.StopTimer(id);
    done = true;
  });
  std::atomic<bool> returned{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 300 && !returned; ++i) SleepMs(10);
    if (!returned) loop.Post([&] { loop.Quit(); });
  });
  loop.RunUntil([&] { return done; });
  returned = true;
  watchdog.join();
  EXPECT_FALSE(loop.QuitRequested()) << "the loop blocked after the tick and only the watchdog ended it";
}

}  // namespace
}  // namespace fwu
