#include "platform/console_streams.h"

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "platform/termination_requests.h"
#include "platform/utf16.h"
#include "platform/windows/console_read_wake.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/winsock.h"

namespace fwu {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// Output to a console: each piece as it comes, with the bytes of a
// character cut between two pieces held back for the next. Text that is
// not UTF-8 is still shown, with U+FFFD for what cannot be read.
class ConsoleWriter final : public std::streambuf {
 public:
  explicit ConsoleWriter(HANDLE console) : console_(console) {}
  ~ConsoleWriter() override { Write(pending_); }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }

  std::streamsize xsputn(const char* data, std::streamsize count) override {
    pending_.append(data, static_cast<std::size_t>(count));
    const std::size_t ready = pending_.size() - IncompleteUtf8Tail(pending_);
    if (!Write(std::string_view(pending_).substr(0, ready))) return 0;
    pending_.erase(0, ready);
    return count;
  }

 private:
  bool Write(std::string_view utf8) const {
    // Consoles of older systems refuse one very long call: pieces, never
    // cutting a surrogate pair in two.
    constexpr std::size_t kPiece = 8192;
    const std::wstring wide = *Widen(utf8, InvalidText::Replace);
    for (std::size_t at = 0; at < wide.size();) {
      std::size_t length = std::min(kPiece, wide.size() - at);
      if (at + length < wide.size() && IS_HIGH_SURROGATE(wide[at + length - 1])) --length;
      DWORD written = 0;
      if (!WriteConsoleW(console_, wide.data() + at, static_cast<DWORD>(length), &written, nullptr) || written == 0) {
        return false;
      }
      at += written;
    }
    return true;
  }

  HANDLE console_;
  std::string pending_;
};

// Input from a console, a line at a time as the console gives it, with or
// without echo as the console's mode says. When standard input is not (or
// no longer: an interrupt puts the null device in its place) a console, the
// C runtime's own stream reads it.
class ConsoleReader final : public std::streambuf {
 public:
  explicit ConsoleReader(std::streambuf* other) : other_(other) {}

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!IsConsole(input)) return other_->sgetc();
    return ReadLine(input) ? traits_type::to_int_type(*gptr()) : traits_type::eof();
  }

  int_type uflow() override {
    if (gptr() == egptr() && !IsConsole(GetStdHandle(STD_INPUT_HANDLE))) return other_->sbumpc();
    return std::streambuf::uflow();
  }

 private:
  bool ReadLine(HANDLE input) {
    wchar_t wide[1024];
    DWORD got = 0;
    if (TerminationRequested()) return false;
    BeginConsoleRead(input);
    const bool read = ReadConsoleW(input, wide, static_cast<DWORD>(std::size(wide)), &got, nullptr) && got > 0;
    EndConsoleRead(read);
    // Nothing read: the end of input, or an interrupt ended the read. A
    // line that a request to end cut short is not an answer either.
    if (!read || TerminationRequested()) return false;
    constexpr wchar_t kEndOfInput = 0x1A;  // Ctrl+Z, as the C runtime reads it
    if (wide[0] == kEndOfInput) return false;
    line_ = *Narrow(std::wstring_view(wide, got), InvalidText::Replace);
    // The console ends a line with CR LF; the program reads LF, as from a file.
    if (const auto cr = line_.find("\r\n"); cr != std::string::npos) line_.erase(cr, 1);
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return true;
  }

  std::streambuf* other_;
  std::string line_;
};

}  // namespace

struct UnicodeConsole::Streams {
  struct Replaced {
    std::ostream* stream;
    std::streambuf* original;
    std::unique_ptr<std::streambuf> console;
  };
  std::vector<Replaced> outputs;
  std::streambuf* originalInput = nullptr;
  std::unique_ptr<ConsoleReader> input;
};

UnicodeConsole::UnicodeConsole() : streams_(std::make_unique<Streams>()) {
  const std::pair<std::ostream*, DWORD> outputs[] = {{&std::cout, STD_OUTPUT_HANDLE}, {&std::cerr, STD_ERROR_HANDLE}};
  for (const auto& [stream, which] : outputs) {
    const HANDLE handle = GetStdHandle(which);
    if (!IsConsole(handle)) continue;  // a file or a pipe takes the UTF-8 bytes
    stream->flush();
    auto console = std::make_unique<ConsoleWriter>(handle);
    streams_->outputs.push_back({stream, stream->rdbuf(console.get()), std::move(console)});
  }
  streams_->input = std::make_unique<ConsoleReader>(std::cin.rdbuf());
  streams_->originalInput = std::cin.rdbuf(streams_->input.get());
}

UnicodeConsole::~UnicodeConsole() {
  std::cin.rdbuf(streams_->originalInput);
  for (auto& replaced : streams_->outputs) replaced.stream->rdbuf(replaced.original);
}

}  // namespace fwu
