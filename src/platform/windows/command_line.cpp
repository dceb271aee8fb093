#include "platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string_view>

#include "platform/utf16.h"

namespace fwu {

CommandLine ReadCommandLine(int /*argc*/, char** /*argv*/) {
  CommandLine line;
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) {
    line.failure = "the command line cannot be read";
    return line;
  }
  const std::unique_ptr<wchar_t*, decltype(&LocalFree)> owner(words, LocalFree);
  for (int i = 1; i < count; ++i) {
    const std::wstring_view word(words[i]);
    auto converted = Utf16ToUtf8(std::u16string(word.begin(), word.end()));
    if (!converted) {
      line.arguments.clear();
      line.failure = "argument " + std::to_string(i) + " is not Unicode text: " + converted.failure;
      return line;
    }
    line.arguments.push_back(std::move(converted.text));
  }
  return line;
}

}  // namespace fwu
