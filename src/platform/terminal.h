#pragma once

#include <memory>

namespace fwu {

enum class StandardStream { Input, Output, Error };

// True when the stream is connected to a terminal.
bool IsTerminal(StandardStream stream);

// While it lives, what is typed on the terminal at standard input is not
// shown (a password); the previous setting comes back when it goes. Does
// nothing when standard input is no terminal.
class HiddenTerminalInput {
 public:
  HiddenTerminalInput();
  ~HiddenTerminalInput();
  HiddenTerminalInput(const HiddenTerminalInput&) = delete;
  HiddenTerminalInput& operator=(const HiddenTerminalInput&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace fwu
