#include "platform/environment.h"

#include <stdlib.h>

namespace fwu {

const char* const kTempDirVariable = "TMPDIR";

std::optional<std::string> EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void SetEnvironmentValue(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }

void UnsetEnvironmentValue(const std::string& name) { unsetenv(name.c_str()); }

}  // namespace fwu
