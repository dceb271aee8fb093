#pragma once

namespace fwu {

// Socket failures are reported with the Windows Sockets numbers the
// program's messages are written for, so that a message reads the same on
// every platform. Errors with no Windows Sockets counterpart keep 10000 +
// their own number, which the message tables report as unknown.
int WinsockErrorFromErrno(int errnoValue);

// The current errno, mapped.
int LastSocketError();

namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kBadDescriptor = 10009;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotSocket = 10038;
inline constexpr int kMessageTooLong = 10040;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kAlreadyConnected = 10056;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kTimedOut = 10060;
inline constexpr int kHostNotFound = 11001;
}  // namespace wsa

}  // namespace fwu
