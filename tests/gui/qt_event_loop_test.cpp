#include "gui/qt/qt_event_loop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QThread>
#include <future>
#include <thread>
#include <vector>

namespace fwu {
namespace {

// Every wait here is bounded: a loop that never wakes fails the test
// instead of hanging it.
constexpr std::int64_t kGiveUpMs = 2000;

class QtEventLoopTest : public ::testing::Test {
 protected:
  // Runs until done() or the give-up time, and says which it was.
  bool RunFor(const std::function<bool()>& done) {
    const std::int64_t deadline = loop_.NowMs() + kGiveUpMs;
    loop_.RunUntil([&] { return done() || loop_.NowMs() >= deadline; });
    return done();
  }

  QtEventLoop loop_;
  // Keeps RunFor's deadline check turning even when nothing else happens.
  EventLoop::TimerId heartbeat_ = loop_.StartTimer(10, [] {});
};

TEST_F(QtEventLoopTest, TimersRepeatUntilStoppedAndAStoppedTimerNeverTicksAgain) {
  int ticks = 0;
  EventLoop::TimerId id = 0;
  id = loop_.StartTimer(5, [&] {
    if (++ticks == 3) loop_.StopTimer(id);  // stopping from its own tick
  });
  ASSERT_TRUE(RunFor([&] { return ticks == 3; }));
  loop_.WaitMs(50, true);
  EXPECT_EQ(ticks, 3);
}

TEST_F(QtEventLoopTest, AStaleStopDoesNotStopALaterTimer) {
  const EventLoop::TimerId first = loop_.StartTimer(1000, [] {});
  loop_.StopTimer(first);
  int ticks = 0;
  loop_.StartTimer(5, [&] { ++ticks; });
  loop_.StopTimer(first);
  EXPECT_TRUE(RunFor([&] { return ticks >= 2; }));
}

TEST_F(QtEventLoopTest, TheFirstTickComesOneIntervalAfterTheStart) {
  const std::int64_t started = loop_.NowMs();
  std::int64_t tickedAt = -1;
  const EventLoop::TimerId id = loop_.StartTimer(100, [&] { tickedAt = loop_.NowMs(); });
  ASSERT_TRUE(RunFor([&] { return tickedAt >= 0; }));
  loop_.StopTimer(id);
  EXPECT_GE(tickedAt - started, 95);
  EXPECT_LT(tickedAt - started, 400);
}

TEST_F(QtEventLoopTest, PostedTasksFromAnotherThreadRunOnTheLoopThread) {
  std::vector<int> order;
  Qt::HANDLE ranOn = nullptr;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      loop_.Post([&, i] {
        order.push_back(i);
        ranOn = QThread::currentThreadId();
      });
    }
  });
  worker.join();
  ASSERT_TRUE(RunFor([&] { return order.size() == 3; }));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ranOn, QThread::currentThreadId());
}

TEST_F(QtEventLoopTest, WatchesReportAReadyDescriptorUntilUnwatched) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int calls = 0;
  EventLoop::WatchId id = 0;
  id = loop_.WatchFd(fds[0], EventLoop::Interest::Readable, [&] {
    ++calls;
    loop_.Unwatch(id);  // ending the watch from its own notification
  });
  loop_.WaitMs(20, true);
  EXPECT_EQ(calls, 0) << "nothing to read yet";
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  EXPECT_TRUE(RunFor([&] { return calls == 1; }));
  loop_.WaitMs(30, true);
  EXPECT_EQ(calls, 1) << "the byte is still unread, but the watch is gone";
  close(fds[0]);
  close(fds[1]);
}

TEST_F(QtEventLoopTest, WaitingWithEventsDispatchesAndWaitingWithoutHoldsEverything) {
  int ran = 0;
  loop_.Post([&] { ++ran; });
  const std::int64_t before = loop_.NowMs();
  loop_.WaitMs(30, false);
  EXPECT_GE(loop_.NowMs() - before, 30);
  EXPECT_EQ(ran, 0) << "a wait that holds the thread must not run tasks";

  loop_.WaitMs(30, true);
  EXPECT_EQ(ran, 1);
  EXPECT_GE(loop_.NowMs() - before, 60);
}

TEST_F(QtEventLoopTest, ProcessPendingRunsWhatIsDueWithoutBlocking) {
  int ran = 0;
  loop_.Post([&] { ++ran; });
  const std::int64_t before = loop_.NowMs();
  loop_.ProcessPending();
  EXPECT_EQ(ran, 1);
  EXPECT_LT(loop_.NowMs() - before, 100);
}

TEST_F(QtEventLoopTest, NestedRunsEndWithTheirConditionAndQuitEndsThemAll) {
  bool innerDone = false;
  bool innerReturned = false;
  loop_.Post([&] {
    // A modal window inside the outer run.
    loop_.StartTimer(10, [&] { innerDone = true; });
    loop_.RunUntil([&] { return innerDone; });
    innerReturned = true;
    loop_.Post([&] { loop_.Quit(); });
  });
  ASSERT_TRUE(RunFor([&] { return loop_.QuitRequested(); }));
  EXPECT_TRUE(innerReturned);
  // Once quit, a run returns at once.
  loop_.RunUntil([] { return false; });
}

TEST_F(QtEventLoopTest, QuitFromAnotherThreadWakesASleepingRun) {
  loop_.StopTimer(heartbeat_);
  bool gaveUp = false;
  loop_.StartTimer(kGiveUpMs, [&] {
    gaveUp = true;
    loop_.Quit();
  });
  // Only a task the running loop carries out proves that Run() has begun:
  // a Quit() that came before it would pass without testing anything.
  std::promise<void> running;
  loop_.Post([&running] { running.set_value(); });
  std::thread quitter([this, started = running.get_future()] {
    started.wait_for(std::chrono::milliseconds(kGiveUpMs));
    // Time to go back to sleep once the task is done.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    loop_.Quit();
  });
  const std::int64_t before = loop_.NowMs();
  loop_.Run();
  quitter.join();
  EXPECT_FALSE(gaveUp);
  EXPECT_LT(loop_.NowMs() - before, kGiveUpMs);
}

}  // namespace
}  // namespace fwu
