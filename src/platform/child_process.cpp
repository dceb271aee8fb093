#include "platform/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <array>

namespace fwu {

struct ChildProcess::Handles {
  pid_t pid = -1;
  std::array<int, 2> read{-1, -1};  // Output, Error
  std::optional<int> status;
};

namespace {

void CloseIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// A pseudo-terminal whose slave passes bytes as they are written: no
// newline translation, so that the reader sees what the child wrote.
bool OpenRawTerminal(int& master, int& slave) {
  master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return false;
  const char* name = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : nullptr;
  slave = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  termios settings{};
  if (slave < 0 || tcgetattr(slave, &settings) != 0) {
    CloseIfOpen(master);
    CloseIfOpen(slave);
    return false;
  }
  cfmakeraw(&settings);
  tcsetattr(slave, TCSANOW, &settings);
  return true;
}

}  // namespace

ChildProcess::ChildProcess() : handles_(std::make_unique<Handles>()) {}

ChildProcess::~ChildProcess() {
  if (handles_->pid > 0 && !handles_->status) {
    Kill();
    int status = 0;
    waitpid(handles_->pid, &status, 0);
  }
  for (int& fd : handles_->read) CloseIfOpen(fd);
}

bool ChildProcess::Start(const Launch& launch) {
  std::array<int, 2> out{-1, -1};
  int errRead = -1, errWrite = -1;
  if (pipe2(out.data(), O_CLOEXEC) != 0) {
    failure_ = std::string("pipe: ") + strerror(errno);
    return false;
  }
  if (!(launch.errorOnTerminal && OpenRawTerminal(errRead, errWrite))) {
    std::array<int, 2> err{-1, -1};
    if (pipe2(err.data(), O_CLOEXEC) != 0) {
      failure_ = std::string("pipe: ") + strerror(errno);
      CloseIfOpen(out[0]);
      CloseIfOpen(out[1]);
      return false;
    }
    errRead = err[0];
    errWrite = err[1];
  }
  // Everything the child needs is made before the fork: after it, only
  // calls that are safe in a copy of a threaded process.
  std::vector<char*> argv;
  for (const std::string& word : launch.argv) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const char* directory = launch.workingDirectory.empty() ? nullptr : launch.workingDirectory.c_str();
  const pid_t parent = getpid();

  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
#ifdef __linux__
    // Ended in order, as by Ctrl+C, if this program dies: no temporary file stays.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
#endif
    const int input = open("/dev/null", O_RDONLY);
    if (input < 0 || dup2(input, 0) < 0 || dup2(out[1], 1) < 0 || dup2(errWrite, 2) < 0) _exit(127);
    if (directory && chdir(directory) != 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  const int forkError = errno;
  close(out[1]);
  close(errWrite);
  if (pid < 0) {
    failure_ = std::string("fork: ") + strerror(forkError);
    close(out[0]);
    close(errRead);
    return false;
  }
  setpgid(pid, pid);  // also here: no signal may reach the child before it has its group
  handles_->pid = pid;
  handles_->read = {out[0], errRead};
  for (int fd : handles_->read) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return true;
}

int ChildProcess::Descriptor(Stream stream) const { return handles_->read[static_cast<int>(stream)]; }

bool ChildProcess::Read(Stream stream, std::string& into) {
  int& fd = handles_->read[static_cast<int>(stream)];
  if (fd < 0) return false;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      into.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    // 0 from a pipe, EIO from a terminal whose every writer has gone.
    CloseIfOpen(fd);
    return false;
  }
}

void ChildProcess::RequestEnd() {
  if (handles_->pid > 0 && !handles_->status) kill(handles_->pid, SIGTERM);
}

void ChildProcess::Kill() {
  if (handles_->pid > 0 && !handles_->status) kill(-handles_->pid, SIGKILL);
}

std::optional<int> ChildProcess::TryWait() {
  if (handles_->status || handles_->pid <= 0) return handles_->status;
  int status = 0;
  if (waitpid(handles_->pid, &status, WNOHANG) != handles_->pid) return std::nullopt;
  handles_->status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return handles_->status;
}

}  // namespace fwu
