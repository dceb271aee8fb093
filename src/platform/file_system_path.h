#pragma once

#include <filesystem>
#include <string>

namespace fwu {

// A UTF-8 path for the standard library's file calls. The library's own
// reading of a narrow string follows the system's code page on Windows,
// which cannot hold every name; a path that is not UTF-8 becomes the empty
// path, which no call finds.
std::filesystem::path FileSystemPath(const std::string& utf8);

}  // namespace fwu
