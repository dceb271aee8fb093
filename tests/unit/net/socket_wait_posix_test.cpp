#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/stream_socket.h"
#include "platform/tcp_socket.h"

namespace fwu {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWaitMs = 400;

// A signal that interrupts system calls (no SA_RESTART) and asks nothing of
// the program, as a child's end or a resized terminal does.
class StraySignal {
 public:
  StraySignal() {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigaction(SIGUSR1, &action, &previous_);
  }
  ~StraySignal() { sigaction(SIGUSR1, &previous_, nullptr); }

  // Runs wait on this thread while another one signals it twice early on;
  // the milliseconds it took.
  long long TimeWithSignals(const std::function<void()>& wait) {
    const pthread_t waiter = pthread_self();
    std::thread signaller([waiter] {
      for (int i = 0; i < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pthread_kill(waiter, SIGUSR1);
      }
    });
    const auto start = Clock::now();
    wait();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    signaller.join();
    return took;
  }

 private:
  struct sigaction previous_ {};
};

TEST(SocketWait, AStraySignalNeitherEndsAWaitEarlyNorHidesWhatArrives) {
  TcpListener listener;
  ASSERT_TRUE(listener.Listen("127.0.0.1", 0));
  TStreamSocket client;
  ASSERT_NE(client.StartConnect("127.0.0.1", listener.Port()), TStreamSocket::ConnectStart::Failed);
  auto served = listener.Accept(2000);
  ASSERT_TRUE(served.has_value());
  StraySignal signal;

  bool clientReady = true;
  EXPECT_GE(signal.TimeWithSignals([&] { clientReady = client.WaitFor(TStreamSocket::Wants::Read, kWaitMs); }),
            kWaitMs);
  EXPECT_FALSE(clientReady);

  Readiness servedSaw = Readiness::Ready;
  EXPECT_GE(signal.TimeWithSignals([&] { servedSaw = served->WaitReadable(kWaitMs); }), kWaitMs);
  EXPECT_EQ(servedSaw, Readiness::TimedOut);

  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    served->Send("x", 1);
  });
  EXPECT_LT(signal.TimeWithSignals([&] { clientReady = client.WaitFor(TStreamSocket::Wants::Read, 10 * kWaitMs); }),
            10 * kWaitMs);
  late.join();
  EXPECT_TRUE(clientReady);
}

}  // namespace
}  // namespace fwu
