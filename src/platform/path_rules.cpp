#include <unistd.h>

#include "platform/file_system_path.h"
#include "platform/files.h"

namespace fwu {

const char kPathSeparator = '/';

std::string NativePath(std::string path) { return path; }

// File names are bytes here: no conversion at all.
std::filesystem::path FileSystemPath(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string FileNamePart(const std::string& path) {
  const auto slash = path.find_last_of(kPathSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return {};
  buffer.resize(static_cast<std::size_t>(length));
  return buffer;
}

}  // namespace fwu
