#include "gui/win32/file_chooser_text.h"

#include "gui/win32/view_text.h"

namespace fwu {

std::wstring ToWindowsFilter(const std::string& filter) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  for (std::size_t bar = filter.find('|'); ; bar = filter.find('|', start)) {
    parts.push_back(ViewText(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::wstring windows;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    windows += parts[i] + L'\0' + parts[i + 1] + L'\0';
  }
  return windows + L'\0';
}

std::vector<std::wstring> ChosenPaths(const std::wstring& buffer) {
  std::vector<std::wstring> parts;
  for (std::size_t start = 0; start < buffer.size() && buffer[start] != L'\0';) {
    const std::size_t end = buffer.find(L'\0', start);
    parts.push_back(buffer.substr(start, end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  if (parts.size() <= 1) return parts;
  const std::wstring directory = parts.front();
  const std::wstring separator = directory.ends_with(L'\\') ? L"" : L"\\";
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(directory + separator + parts[i]);
  return paths;
}

}  // namespace fwu
