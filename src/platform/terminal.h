#pragma once

#include <memory>

namespace fwu {

enum class StandardStream { Input, Output, Error };

// True when the stream is connected to a terminal.
bool IsTerminal(StandardStream stream);

// While it lives, the terminal on the stream takes the escape sequences
// that redraw a line in place: a Windows console must be asked to, and an
// older one cannot. The console's mode comes back when it goes.
class TerminalEscapes {
 public:
  explicit TerminalEscapes(StandardStream stream);
  ~TerminalEscapes();
  TerminalEscapes(const TerminalEscapes&) = delete;
  TerminalEscapes& operator=(const TerminalEscapes&) = delete;

  // False also when the stream is no terminal.
  bool Taken() const { return taken_; }

 private:
  struct Saved;  // what to put back, where something was changed
  std::unique_ptr<Saved> saved_;
  bool taken_ = false;
};

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
