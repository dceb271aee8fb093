#include <windows.h>

#include "platform/files.h"

namespace fwu {

// Paths the user or the system gives may have either separator.
std::string FileNamePart(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExecutablePath() {
  // The call truncates a long path without failing: grow until it fits.
  for (DWORD size = MAX_PATH;; size *= 2) {
    std::string buffer(size, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) {
      buffer.resize(length);
      return buffer;
    }
    if (size > 32768) return {};
  }
}

}  // namespace fwu
