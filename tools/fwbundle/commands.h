#pragma once

#include <string>
#include <vector>

namespace fwu::tool {

// Each returns the exit status; errors travel as UsageError / ToolError.
int RunControl(const std::vector<std::string>& args);
int RunMessage(const std::vector<std::string>& args);
int RunAppend(const std::vector<std::string>& args);
int RunList(const std::vector<std::string>& args);
int RunExtract(const std::vector<std::string>& args);

}  // namespace fwu::tool
