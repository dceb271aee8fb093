#include "gui/win32/win32_event_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "platform/wake_signal.h"
#include "window_reader.h"

namespace fwu {
namespace {

// A loopback datagram made readable by another thread: the watch fires on
// the loop's thread once per readiness, and no more once it has ended.
TEST(Win32EventLoopTest, ASocketWatchFiresWhileReadableAndNotAfterItEnds) {
  Win32EventLoop loop;
  WakeSignal socket;
  int calls = 0;
  const auto watch = loop.WatchFd(socket.Descriptor(), EventLoop::Interest::Readable, [&] {
    ++calls;
    socket.Drain();
  });
  std::thread sender([&] { socket.Raise(); });
  sender.join();
  EXPECT_TRUE(testing::WaitFor(loop, [&] { return calls == 1; }));

  loop.Unwatch(watch);
  socket.Raise();
  loop.WaitMs(50, true);
  EXPECT_EQ(calls, 1);
}

// A timer whose tick waits with events (the TFTP window's does) is not
// fired again from inside that wait, while other timers are.
TEST(Win32EventLoopTest, ATimerIsNotReenteredFromAWaitInsideItsOwnTick) {
  Win32EventLoop loop;
  int outer = 0;
  int inner = 0;
  const auto other = loop.StartTimer(10, [&] { ++inner; });
  const auto slow = loop.StartTimer(10, [&] {
    ++outer;
    loop.WaitMs(100, true);
  });
  EXPECT_TRUE(testing::WaitFor(loop, [&] { return outer >= 2; }));
  EXPECT_GE(inner, 5);
  loop.StopTimer(slow);
  loop.StopTimer(other);
}

// A failure that leaves a handler is shown and the loop goes on.
TEST(Win32EventLoopTest, AnExceptionFromAHandlerGoesToTheBoxAndTheLoopGoesOn) {
  Win32EventLoop loop;
  std::vector<std::string> shown;
  loop.SetExceptionBox([&](const std::string& what) { shown.push_back(what); });
  bool after = false;
  loop.Post([] { throw std::runtime_error("Socket Error # 10054"); });
  loop.Post([&] { after = true; });
  EXPECT_TRUE(testing::WaitFor(loop, [&] { return after; }));
  EXPECT_EQ(shown, (std::vector<std::string>{"Socket Error # 10054"}));
}

}  // namespace
}  // namespace fwu
