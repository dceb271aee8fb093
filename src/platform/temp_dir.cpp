#include "platform/temp_dir.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fwu {

PrivateTempDir::PrivateTempDir() {
  const char* variable = std::getenv("TMPDIR");
  const std::string base = variable && *variable ? variable : "/tmp";
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

}  // namespace fwu
