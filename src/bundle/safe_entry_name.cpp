#include "bundle/safe_entry_name.h"

#include <algorithm>
#include <string_view>

#include "platform/ascii_case.h"
#include "platform/utf16.h"

namespace fwu {

namespace {

bool IsDeviceName(const std::string& name) {
  // The device is reached whatever follows the first dot, and blanks
  // before it are dropped.
  std::string base = AsciiUpper(name.substr(0, name.find('.')));
  base.erase(base.find_last_not_of(' ') + 1);
  static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices)) return true;
  if (!base.starts_with("COM") && !base.starts_with("LPT")) return false;
  // COM0 to COM9, and Windows also takes the superscript digits 1 to 3.
  const std::string_view number = std::string_view(base).substr(3);
  static constexpr std::string_view kSuperscripts[] = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
  return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
         std::find(std::begin(kSuperscripts), std::end(kSuperscripts), number) != std::end(kSuperscripts);
}

bool HasForbiddenCharacter(const std::string& name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
  });
}

}  // namespace

bool IsSafeEntryName(const std::string& name) {
  // "." and ".." end with a dot.
  return !name.empty() && Utf8ToUtf16(name) && !HasForbiddenCharacter(name) && name.back() != '.' &&
         name.back() != ' ' && !IsDeviceName(name);
}

}  // namespace fwu
