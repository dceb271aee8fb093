#pragma once

#include <sys/types.h>
#include <termios.h>

#include <optional>
#include <string>
#include <vector>

namespace fwu {

// A program run on a pseudo-terminal, as a technician runs it: the test
// reads what the terminal shows, types, and looks at the terminal's modes
// once the program is gone.
class PtySession {
 public:
  PtySession() = default;
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  bool Start(const std::vector<std::string>& argv);
  // Reads until the screen's text since the last wait holds text; false
  // after timeoutMs.
  bool WaitFor(const std::string& text, int timeoutMs);
  void Type(const std::string& keys);
  void Signal(int number);
  // The exit status once the program ended (128 + signal when killed);
  // nothing when it still ran after timeoutMs (it is then killed).
  std::optional<int> WaitForExit(int timeoutMs);
  // Everything the terminal showed.
  const std::string& Screen() const { return screen_; }
  // The terminal's modes as the program left them.
  termios Modes() const;

 private:
  bool ReadSome(int timeoutMs);

  pid_t pid_ = -1;
  int master_ = -1;
  std::string screen_;
  std::size_t waitedUpTo_ = 0;
};

}  // namespace fwu
