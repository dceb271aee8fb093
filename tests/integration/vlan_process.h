#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace fwu {

struct CommandResult {
  int exitStatus = -1;  // the exit code; 128 + signal when killed; -1 not started
  bool timedOut = false;
  std::string out;
  std::string err;
};

// Runs argv to its end, collecting stdout and stderr. A command still running
// after timeoutMs is killed with its whole process group, so a hung client
// cannot hang the test run.
CommandResult RunCommand(const std::vector<std::string>& argv, int timeoutMs);

// A program left running in the background (a simulated router), its stdout
// and stderr going to files.
class BackgroundProcess {
 public:
  BackgroundProcess() = default;
  ~BackgroundProcess() { Stop(); }
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  bool Start(const std::vector<std::string>& argv, const std::string& outPath, const std::string& errPath);
  // True once the process is gone (reaped).
  bool Exited();
  // SIGTERM, then SIGKILL after a grace period; reaps it.
  void Stop();
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

}  // namespace fwu
