#include "platform/windows/user_sid.h"

#include "platform/windows/winsock.h"

#include <sddl.h>

#include <vector>

namespace fwu {

std::string CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD needed = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &needed);
  std::vector<unsigned char> buffer(needed);
  const bool read = needed > 0 && GetTokenInformation(token, TokenUser, buffer.data(), needed, &needed);
  CloseHandle(token);
  if (!read) return {};
  return SidText(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
}

// A SID's text is "S-" and digits: plain ASCII, so each wide character
// narrows to itself.
std::string SidText(void* sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(static_cast<PSID>(sid), &text)) return {};
  const std::wstring_view wide(text);
  std::string narrow(wide.begin(), wide.end());
  LocalFree(text);
  return narrow;
}

}  // namespace fwu
