#pragma once

#include <winsock2.h>

#include <cstddef>
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

// recv() on a connected stream socket, with a reset told apart from an
// orderly close: Wine reports a reset that arrived before the call as an
// orderly end, and only a send still learns of it. Returns the byte count,
// 0 for an orderly close, or SOCKET_ERROR with the error set.
int ReceiveStream(SOCKET s, void* buffer, std::size_t capacity);

// The system's own words for a Windows error number, without the line
// break the system appends.
std::string SystemErrorText(unsigned long error);

}  // namespace fwu
