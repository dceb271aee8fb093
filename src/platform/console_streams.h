#pragma once

#include <memory>

namespace fwu {

// While it lives, the standard streams (std::cin, std::cout, std::cerr)
// carry UTF-8 text on every system. A Windows console takes and gives
// UTF-16 whatever its code page, so there they are written with
// WriteConsoleW and read with ReadConsoleW; redirected to a file or a pipe
// they pass UTF-8 bytes unchanged, so the log reads the same either way.
// POSIX terminals take the bytes as they are: nothing changes there.
class UnicodeConsole {
 public:
  UnicodeConsole();
  ~UnicodeConsole();
  UnicodeConsole(const UnicodeConsole&) = delete;
  UnicodeConsole& operator=(const UnicodeConsole&) = delete;

 private:
  struct Streams;
  std::unique_ptr<Streams> streams_;
};

}  // namespace fwu
