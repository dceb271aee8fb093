#include "platform/windows/winsock.h"

#include <winsock2.h>
#include <windows.h>

#include <mutex>

namespace fwu {

void EnsureWinsock() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data{};
    // A failure shows at the first socket call, with its own number.
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

std::string SystemErrorText(unsigned long error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 && text != nullptr ? std::string(text, length) : "Error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) result.pop_back();
  return result;
}

}  // namespace fwu
