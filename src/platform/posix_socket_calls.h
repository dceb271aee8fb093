#pragma once

// The system calls every POSIX socket wrapper makes the same way: restarted
// after a signal (unless the signal asked the program to end: then they
// fail, so the end is not held up), and never raising SIGPIPE on a closed
// peer. For the platform's own source files only.
#include <sys/socket.h>

#include <cerrno>
#include <cstddef>

#include "platform/termination_requests.h"

namespace fwu::posix {

inline bool Restart(long rc) { return rc < 0 && errno == EINTR && !TerminationRequested(); }

inline long SendRestarting(int fd, const void* data, std::size_t length) {
  ssize_t sent;
  do {
    sent = send(fd, data, length, MSG_NOSIGNAL);
  } while (Restart(sent));
  return static_cast<long>(sent);
}

inline long ReceiveRestarting(int fd, void* buffer, std::size_t capacity) {
  ssize_t received;
  do {
    received = recv(fd, buffer, capacity, 0);
  } while (Restart(received));
  return static_cast<long>(received);
}

}  // namespace fwu::posix
