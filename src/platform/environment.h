#pragma once

#include <optional>
#include <string>

namespace fwu {

// The variable that names the directory for temporary files: TMPDIR on
// POSIX systems, TMP on Windows (the first one Windows looks at).
extern const char* const kTempDirVariable;

std::optional<std::string> EnvironmentValue(const std::string& name);
// For this process and the programs it starts.
void SetEnvironmentValue(const std::string& name, const std::string& value);
void UnsetEnvironmentValue(const std::string& name);

}  // namespace fwu
