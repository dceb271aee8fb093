#include "integration/pty_session.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace fwu {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PtySession::~PtySession() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (master_ >= 0) close(master_);
}

bool PtySession::Start(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
  if (pid_ == 0) {
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid_ > 0;
}

bool PtySession::ReadSome(int timeoutMs) {
  pollfd ready{master_, POLLIN, 0};
  if (poll(&ready, 1, timeoutMs) <= 0) return false;
  char buffer[4096];
  const ssize_t got = read(master_, buffer, sizeof buffer);
  if (got <= 0) return false;  // EIO: the last program holding the terminal is gone
  screen_.append(buffer, static_cast<std::size_t>(got));
  return true;
}

bool PtySession::WaitFor(const std::string& text, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto found = screen_.find(text, waitedUpTo_);
    if (found != std::string::npos) {
      waitedUpTo_ = found + text.size();
      return true;
    }
    if (MillisecondsLeft(deadline) == 0 || !ReadSome(MillisecondsLeft(deadline))) return false;
  }
}

void PtySession::Type(const std::string& keys) { [[maybe_unused]] const auto written = write(master_, keys.data(), keys.size()); }

void PtySession::Signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

std::optional<int> PtySession::WaitForExit(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    // Keep reading, or a program with much to say blocks on a full terminal.
    if (!ReadSome(50) && MillisecondsLeft(deadline) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return std::nullopt;
    }
  }
  pid_ = -1;
  while (ReadSome(0)) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

termios PtySession::Modes() const {
  termios modes{};
  tcgetattr(master_, &modes);
  return modes;
}

}  // namespace fwu
