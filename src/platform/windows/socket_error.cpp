#include "platform/socket_error.h"

#include <winsock2.h>

#include <cerrno>

namespace fwu {

// Windows Sockets reports its own numbers; only the C runtime's few errno
// values need a translation.
int WinsockErrorFromErrno(int e) {
  switch (e) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF: return WSAEBADF;
    case EACCES: case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE: case ENFILE: return WSAEMFILE;
    default: return 10000 + e;
  }
}

int LastSocketError() { return WSAGetLastError(); }

}  // namespace fwu
