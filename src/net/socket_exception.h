#pragma once

#include <stdexcept>
#include <string>

namespace fwu {

// Raised by the asynchronous datagram socket; the program attaches no error
// handler to it, so its failures reach whoever runs the search.
class SocketException : public std::runtime_error {
 public:
  SocketException(const std::string& text, int code) : std::runtime_error(text), code_(code) {}
  // The Windows Sockets number, 0 for failures that have none.
  int Code() const { return code_; }

 private:
  int code_;
};

// Raised when the ICMP echo component cannot be created.
class IcmpException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace fwu
