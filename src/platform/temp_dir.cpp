#include "platform/temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/environment.h"

namespace fwu {

PrivateTempDir::PrivateTempDir() {
  const auto variable = EnvironmentValue(kTempDirVariable);
  const std::string base = variable && !variable->empty() ? *variable : std::string("/tmp");
  std::string pattern = base + "/fwupgrade-XXXXXX";
  // mkdtemp creates the directory with mode 0700.
  if (mkdtemp(pattern.data()) != nullptr) {
    path_ = pattern + "/";
  } else {
    failure_ = base + " : " + std::strerror(errno);
  }
}

PrivateTempDir::~PrivateTempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool OnlyCurrentUserHasAccess(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

}  // namespace fwu
