#include "platform/error_text.h"

#include "platform/winsock_text.h"

namespace fwu {

std::string ErrorText(int number) {
  if (const char* text = WinsockDescription(number)) return text;
  return "unknown error code : " + std::to_string(number);
}

std::string SocketErrorMessage(const std::string& prefix, int number) {
  return prefix + std::to_string(number) + " " + ErrorText(number);
}

}  // namespace fwu
