#include "platform/windows/winsock.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <mutex>

#include "platform/windows/wide_text.h"

namespace fwu {

void EnsureWinsock() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data{};
    // A failure shows at the first socket call, with its own number.
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

int ReceiveStream(SOCKET s, void* buffer, std::size_t capacity) {
  const int received = recv(s, static_cast<char*>(buffer), static_cast<int>(std::min<std::size_t>(capacity, INT_MAX)), 0);
  if (received != 0) return received;
  // A send of nothing puts nothing on the wire, on a half-closed connection
  // as on an open one; after a reset it fails with the reset's number.
  // Windows itself reports the reset from recv, so this only changes the
  // answer where the reset was lost.
  if (send(s, static_cast<const char*>(buffer), 0, 0) == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    if (error == WSAECONNRESET || error == WSAECONNABORTED) return SOCKET_ERROR;
  }
  return 0;
}

std::string SystemErrorText(unsigned long error) {
  // In the user's language, which the ANSI code page may not hold.
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = length > 0 && text != nullptr
                           ? *Narrow(std::wstring_view(text, length), InvalidText::Replace)
                           : "Error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) result.pop_back();
  return result;
}

}  // namespace fwu
