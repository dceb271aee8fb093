#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fwu {

// Another program run beside this one, its standard output and error read
// through descriptors the caller watches. Standard input reads as ended.
// The child gets a process group of its own (on Windows a hidden console of
// its own, so no window flashes up), so that a Ctrl+C on the terminal
// reaches this program only and it alone decides how each child ends. If
// this one dies, the child is asked to end in order (SIGTERM) on Linux; on
// Windows a job object ends it, and all it started, at once.
class ChildProcess {
 public:
  struct Launch {
    std::vector<std::string> argv;  // argv[0] is the program's path
    std::string workingDirectory;   // empty: this program's
    // Standard error on a pseudo-terminal of its own, so that the child
    // draws what it draws for a person (a progress bar); else a pipe.
    // Windows has no pseudo-terminal to give: a pipe there, always.
    bool errorOnTerminal = false;
  };
  enum class Stream { Output, Error };

  ChildProcess();
  // A child still running is killed and waited for.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // False, with Failure(), when the child could not be started.
  bool Start(const Launch& launch);
  const std::string& Failure() const { return failure_; }
  // Non-blocking read ends; -1 once that stream has ended. Windows waits
  // for sockets only: there each is a socket that becomes readable when
  // bytes have arrived from the child's pipe.
  int Descriptor(Stream stream) const;
  // Appends what is waiting on the stream; false once it has ended (and
  // the descriptor is closed).
  bool Read(Stream stream, std::string& into);
  // Asks the child to end in order (SIGTERM; on Windows the event that a
  // program of ours waits on, windows/end_request.h: another program does
  // not hear it), or ends it and what it started at once.
  void RequestEnd();
  void Kill();
  // The exit status once the child has ended (128 + signal when a signal
  // ended it, 137 after Kill on Windows too); nothing while it runs.
  std::optional<int> TryWait();

 private:
  struct Handles;
  std::unique_ptr<Handles> handles_;
  std::string failure_;
};

}  // namespace fwu
