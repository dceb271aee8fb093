#pragma once

#include <string>
#include <vector>

namespace fwu {

// The program's chooser filters are "(Label)|pattern|(Label)|pattern"
// pairs; the system's chooser wants each label and pattern ended by a
// zero and the whole list by one more. A trailing label without a pattern
// is dropped.
std::wstring ToWindowsFilter(const std::string& filter);

// What the chooser returns in its buffer: one full path, or the directory
// and then each chosen file's name, every part ended by a zero and the
// whole by one more.
std::vector<std::wstring> ChosenPaths(const std::wstring& buffer);

}  // namespace fwu
