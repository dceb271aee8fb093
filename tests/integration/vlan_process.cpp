#include "vlan_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace fwu {

namespace {

std::vector<char*> ArgvOf(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const auto& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// In the child: its own process group (so a time-out can kill everything it
// started), the given descriptors as stdout and stderr, then exec.
[[noreturn]] void ExecChild(const std::vector<std::string>& argv, int outFd, int errFd) {
  setpgid(0, 0);
  const int nullFd = open("/dev/null", O_RDONLY);
  dup2(nullFd, 0);
  dup2(outFd, 1);
  dup2(errFd, 2);
  auto pointers = ArgvOf(argv);
  execvp(pointers[0], pointers.data());
  _exit(127);
}

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

long long MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& argv, int timeoutMs) {
  CommandResult result;
  int outPipe[2];
  int errPipe[2];
  if (argv.empty() || pipe2(outPipe, O_CLOEXEC) != 0) return result;
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return result;
  }
  const pid_t pid = fork();
  if (pid == 0) ExecChild(argv, outPipe[1], errPipe[1]);
  close(outPipe[1]);
  close(errPipe[1]);
  if (pid < 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    return result;
  }
  const auto start = std::chrono::steady_clock::now();
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    const long long left = timeoutMs - MsSince(start);
    if (left <= 0) {
      result.timedOut = true;
      kill(-pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[8192];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (auto& entry : fds) {
    if (entry.fd >= 0) close(entry.fd);
  }
  int waitStatus = 0;
  waitpid(pid, &waitStatus, 0);
  result.exitStatus = StatusOf(waitStatus);
  return result;
}

bool BackgroundProcess::Start(const std::vector<std::string>& argv, const std::string& outPath,
                              const std::string& errPath) {
  Stop();
  const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (outFd >= 0 && errFd >= 0 && !argv.empty()) {
    pid_ = fork();
    if (pid_ == 0) ExecChild(argv, outFd, errFd);
  }
  if (outFd >= 0) close(outFd);
  if (errFd >= 0) close(errFd);
  return pid_ > 0;
}

bool BackgroundProcess::Exited() {
  if (pid_ <= 0) return true;
  int waitStatus = 0;
  if (waitpid(pid_, &waitStatus, WNOHANG) != pid_) return false;
  pid_ = -1;
  return true;
}

void BackgroundProcess::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  // A router that ignores SIGTERM for 2 s is killed outright.
  for (int i = 0; i < 200; ++i) {
    if (Exited()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace fwu
