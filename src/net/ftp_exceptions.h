#pragma once

#include <stdexcept>
#include <string>

#include "net/socket_exception.h"

namespace fwu {

// A reply the server gave to refuse; the message is the reply line,
// beginning with its three-digit code.
class FTPException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The server's final reply to a transfer whose data connection had opened,
// when it is not a completion: the file did not arrive whole.
class FTPTransferNotComplete : public FTPException {
 public:
  using FTPException::FTPException;
};

// Socket and connection failures of the FTP client.
using ESocketError = SocketException;

// A wait that the client's time-out or a cancel ended.
class EAbortError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "number:description" for a Windows Sockets error, as the FTP client
// reports it ("10061:Connection refused"), or "Unknown Error No. " and the
// number for one it does not know.
std::string FtpSocketErrorText(int number);

}  // namespace fwu
