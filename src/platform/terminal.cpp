#include "platform/terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>

#include "platform/terminal_restore.h"

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

// The settings to put back should the process end from a signal handler,
// which cannot wait for the object's destructor. The descriptor is
// published after the settings are written, and withdrawn before they go.
termios hiddenSettings{};
std::atomic<int> hiddenTerminal{-1};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

struct HiddenTerminalInput::Saved {
  // A descriptor of its own: a termination request turns standard input
  // into /dev/null, and the terminal must still get its echo back.
  int terminal;
  termios settings;
};

bool IsTerminal(StandardStream stream) { return isatty(Descriptor(stream)) == 1; }

// Every terminal a POSIX system drives takes them: nothing to change.
struct TerminalEscapes::Saved {};
TerminalEscapes::TerminalEscapes(StandardStream stream) : taken_(IsTerminal(stream)) {}
TerminalEscapes::~TerminalEscapes() = default;

void RestoreHiddenTerminalNow() {
  const int terminal = hiddenTerminal.load();
  if (terminal >= 0) tcsetattr(terminal, TCSANOW, &hiddenSettings);
}

HiddenTerminalInput::HiddenTerminalInput() {
  termios settings{};
  if (tcgetattr(STDIN_FILENO, &settings) != 0) return;
  const int terminal = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  if (terminal < 0) return;
  saved_ = std::make_unique<Saved>(Saved{terminal, settings});
  hiddenSettings = settings;
  hiddenTerminal = terminal;
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(terminal, TCSANOW, &settings);
}

HiddenTerminalInput::~HiddenTerminalInput() {
  if (saved_ == nullptr) return;
  hiddenTerminal = -1;
  tcsetattr(saved_->terminal, TCSANOW, &saved_->settings);
  // With echo off the terminal shows no line end, whether Enter or a
  // request to end the program ended the typing: the next output gets one
  // here, as on Windows, to start on a line of its own.
  if (IsTerminal(StandardStream::Error)) {
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, "\n", 1);
  }
  close(saved_->terminal);
}

}  // namespace fwu
