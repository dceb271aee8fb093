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
  char* text = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  std::string sid(text);
  LocalFree(text);
  return sid;
}

}  // namespace fwu
