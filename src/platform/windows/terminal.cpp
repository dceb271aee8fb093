#include "platform/terminal.h"

#include "platform/windows/winsock.h"

namespace fwu {

namespace {

HANDLE StreamHandle(StandardStream stream) {
  switch (stream) {
    case StandardStream::Input: return GetStdHandle(STD_INPUT_HANDLE);
    case StandardStream::Output: return GetStdHandle(STD_OUTPUT_HANDLE);
    case StandardStream::Error: return GetStdHandle(STD_ERROR_HANDLE);
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

struct HiddenTerminalInput::Saved {
  DWORD mode;
};

// Only a console has a mode; a file or a pipe has none.
bool IsTerminal(StandardStream stream) {
  DWORD mode = 0;
  return GetConsoleMode(StreamHandle(stream), &mode) != 0;
}

struct TerminalEscapes::Saved {
  HANDLE console;
  DWORD mode;
};

TerminalEscapes::TerminalEscapes(StandardStream stream) {
  DWORD mode = 0;
  const HANDLE console = StreamHandle(stream);
  if (!GetConsoleMode(console, &mode)) return;
  taken_ = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
  if (taken_) return;
  // Refused by consoles older than Windows 10, which would show the
  // sequences as text: the caller then draws no lines in place.
  taken_ = SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
  if (taken_) saved_ = std::make_unique<Saved>(Saved{console, mode});
}

TerminalEscapes::~TerminalEscapes() {
  if (saved_) SetConsoleMode(saved_->console, saved_->mode);
}

HiddenTerminalInput::HiddenTerminalInput() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return;
  saved_ = std::make_unique<Saved>(Saved{mode});
  // Line input stays on, so the password still ends with Enter.
  if (!SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT))) saved_.reset();
}

// The console echoes no line end while echo is off, so the next output
// gets one here to start on a line of its own.
HiddenTerminalInput::~HiddenTerminalInput() {
  if (saved_ == nullptr) return;
  SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), saved_->mode);
  DWORD written = 0;
  const HANDLE output = GetStdHandle(STD_ERROR_HANDLE);
  if (IsTerminal(StandardStream::Error)) WriteConsoleW(output, L"\r\n", 2, &written, nullptr);
}

}  // namespace fwu
