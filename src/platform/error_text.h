#pragma once

#include <string>

namespace fwu {

// English text for a Windows Sockets error number.
std::string ErrorText(int number);

// prefix + number + " " + ErrorText(number): the shape of every socket
// failure message ("Socket Error: 10061 Connection refused.").
std::string SocketErrorMessage(const std::string& prefix, int number);

}  // namespace fwu
