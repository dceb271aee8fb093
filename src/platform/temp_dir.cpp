#include "platform/temp_dir.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fwu {

PrivateTempDir::PrivateTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/fwupgrade-XXXXXX";
  // mkdtemp creates the directory with mode 0700.
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
}

PrivateTempDir::~PrivateTempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace fwu
