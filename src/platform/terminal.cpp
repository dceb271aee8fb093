#include "platform/terminal.h"

#include <termios.h>
#include <unistd.h>

namespace fwu {

namespace {

int Descriptor(StandardStream stream) {
  switch (stream) {
    case StandardStream::Input: return STDIN_FILENO;
    case StandardStream::Output: return STDOUT_FILENO;
    case StandardStream::Error: return STDERR_FILENO;
  }
  return -1;
}

}  // namespace

struct HiddenTerminalInput::Saved {
  termios settings;
};

bool IsTerminal(StandardStream stream) { return isatty(Descriptor(stream)) == 1; }

HiddenTerminalInput::HiddenTerminalInput() {
  termios settings{};
  if (tcgetattr(STDIN_FILENO, &settings) != 0) return;
  saved_ = std::make_unique<Saved>(Saved{settings});
  // The line end is still echoed so that the next output starts on a line
  // of its own.
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  settings.c_lflag |= ECHONL;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &settings) != 0) saved_.reset();
}

HiddenTerminalInput::~HiddenTerminalInput() {
  if (saved_ == nullptr) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_->settings);
}

}  // namespace fwu
