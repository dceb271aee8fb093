#include <windows.h>

#include <algorithm>

#include "platform/file_system_path.h"
#include "platform/files.h"
#include "platform/windows/wide_text.h"

namespace fwu {

const char kPathSeparator = '\\';

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

std::filesystem::path FileSystemPath(const std::string& utf8) {
  const auto wide = Widen(utf8);
  return wide ? std::filesystem::path(*wide) : std::filesystem::path();
}

// Paths the user or the system gives may have either separator.
std::string FileNamePart(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A path the program's UTF-8 cannot hold (an unpaired surrogate) is no
// path at all, as when the call fails.
std::string ExecutablePath() {
  // The call truncates a long path without failing: grow until it fits.
  for (DWORD size = MAX_PATH;; size *= 2) {
    std::wstring buffer(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) {
      buffer.resize(length);
      return Narrow(buffer).value_or(std::string());
    }
    if (size > 32768) return {};
  }
}

}  // namespace fwu
