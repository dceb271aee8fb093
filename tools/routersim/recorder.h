#pragma once

#include <cstdio>
#include <string>

namespace fwu {

// One line per probe or request received, flushed at once so that a test
// reading the file while the simulator runs sees every line written so far.
class Recorder {
 public:
  Recorder() = default;
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Empty path: nothing is recorded. Returns false when the file cannot be made.
  bool Open(const std::string& path);
  void Line(const std::string& text);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace fwu
