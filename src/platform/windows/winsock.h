#pragma once

#include <winsock2.h>

#include <string>

namespace fwu {

// Starts Windows Sockets once for the process; every socket call site asks
// for it first, so no object has to be created in a particular order.
void EnsureWinsock();

// Sockets and kernel handles travel in the int descriptors of the shared
// headers: Windows keeps their values within 32 bits so that they can be
// handed between 32- and 64-bit processes, and -1 stays the invalid value.
inline SOCKET ToSocket(int fd) { return fd < 0 ? INVALID_SOCKET : static_cast<SOCKET>(fd); }
inline int FromSocket(SOCKET s) { return s == INVALID_SOCKET ? -1 : static_cast<int>(s); }
inline HANDLE ToHandle(int fd) { return fd < 0 ? INVALID_HANDLE_VALUE : LongToHandle(fd); }
inline int FromHandle(HANDLE h) { return h == INVALID_HANDLE_VALUE || h == nullptr ? -1 : HandleToLong(h); }

// The system's own words for a Windows error number, without the line
// break the system appends.
std::string SystemErrorText(unsigned long error);

}  // namespace fwu
