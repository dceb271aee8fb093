#include "platform/environment.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/winsock.h"

namespace fwu {

const char* const kTempDirVariable = "TMP";

// The process's own block, which GetTempPath and child processes read (the
// C runtime keeps a copy of its own). A value that UTF-8 cannot hold reads
// as no value.
std::optional<std::string> EnvironmentValue(const std::string& name) {
  const auto wideName = Widen(name);
  if (!wideName) return std::nullopt;
  // The value may change between the calls: ask again with the new size.
  for (DWORD size = 256;;) {
    std::wstring value(size, L'\0');
    SetLastError(ERROR_SUCCESS);  // an empty value also gives 0
    const DWORD length = GetEnvironmentVariableW(wideName->c_str(), value.data(), size);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (length < size) {
      value.resize(length);
      return Narrow(value);
    }
    size = length;
  }
}

void SetEnvironmentValue(const std::string& name, const std::string& value) {
  const auto wideName = Widen(name);
  const auto wideValue = Widen(value);
  if (wideName && wideValue) SetEnvironmentVariableW(wideName->c_str(), wideValue->c_str());
}

void UnsetEnvironmentValue(const std::string& name) {
  if (const auto wideName = Widen(name)) SetEnvironmentVariableW(wideName->c_str(), nullptr);
}

}  // namespace fwu
