#include "platform/termination_requests.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <stdexcept>

#include "platform/terminal_restore.h"

namespace fwu {

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: lock-free atomics and descriptors made
// before it was installed.
std::atomic<int> requestedSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
int wakeRead = -1;
int wakeWrite = -1;
int nullInput = -1;
std::array<struct sigaction, kSignals.size()> previous{};

void OnSignal(int number) {
  const int savedErrno = errno;
  int none = 0;
  if (!requestedSignal.compare_exchange_strong(none, number)) {
    // The orderly end is taking too long for the user: end now, but not
    // with the password prompt's echo left off.
    RestoreHiddenTerminalNow();
    signal(number, SIG_DFL);
    raise(number);
  }
  // A read that has not started yet sees the end of input; one already
  // blocked returns with EINTR, as no handler restarts calls.
  dup2(nullInput, STDIN_FILENO);
  const char wake = 1;
  [[maybe_unused]] const auto written = write(wakeWrite, &wake, 1);
  errno = savedErrno;
}

const char* SignalName(int number) {
  switch (number) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "signal";
  }
}

}  // namespace

TerminationRequests::TerminationRequests(EventLoop& loop, Handler onRequest)
    : loop_(loop), onRequest_(std::move(onRequest)) {
  int ends[2];
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  wakeRead = ends[0];
  wakeWrite = ends[1];
  nullInput = open("/dev/null", O_RDONLY | O_CLOEXEC);
  requestedSignal = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int number : kSignals) sigaddset(&action.sa_mask, number);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read or wait must notice
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    sigaction(kSignals[i], nullptr, &previous[i]);
    if (previous[i].sa_handler == SIG_IGN) continue;
    sigaction(kSignals[i], &action, nullptr);
  }
  watch_ = loop_.WatchFd(wakeRead, EventLoop::Interest::Readable, [this] { Deliver(); });
}

TerminationRequests::~TerminationRequests() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous[i], nullptr);
  loop_.Unwatch(watch_);
  close(wakeRead);
  close(wakeWrite);
  if (nullInput >= 0) close(nullInput);
  wakeRead = wakeWrite = nullInput = -1;
}

bool TerminationRequests::CheckNow() {
  if (requestedSignal == 0) return false;
  Deliver();
  return true;
}

void TerminationRequests::Deliver() {
  char drained[16];
  while (read(wakeRead, drained, sizeof drained) > 0) {
  }
  if (delivered_ || requestedSignal == 0) return;
  delivered_ = true;
  onRequest_(SignalName(requestedSignal));
}

bool TerminationRequested() { return requestedSignal != 0; }

}  // namespace fwu
