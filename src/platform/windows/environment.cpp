#include "platform/environment.h"

#include "platform/windows/winsock.h"

namespace fwu {

const char* const kTempDirVariable = "TMP";

// The process's own block, which GetTempPath and child processes read (the
// C runtime keeps a copy of its own).
std::optional<std::string> EnvironmentValue(const std::string& name) {
  const DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::string value(needed, '\0');
  const DWORD length = GetEnvironmentVariableA(name.c_str(), value.data(), needed);
  value.resize(length);
  return value;
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void UnsetEnvironmentValue(const std::string& name) { SetEnvironmentVariableA(name.c_str(), nullptr); }

}  // namespace fwu
