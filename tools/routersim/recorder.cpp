#include "recorder.h"

namespace fwu {

Recorder::~Recorder() {
  if (file_ != nullptr) std::fclose(file_);
}

bool Recorder::Open(const std::string& path) {
  if (path.empty()) return true;
  // Binary: lines end in one '\n' on every system, as the readers split them.
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void Recorder::Line(const std::string& text) {
  if (file_ == nullptr) return;
  // Control bytes from the wire would break the one-line-per-event shape.
  std::string line;
  for (char c : text) line += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '.' : c;
  std::fprintf(file_, "%s\n", line.c_str());
  std::fflush(file_);
}

}  // namespace fwu
