#pragma once

// How every POSIX socket call meets a signal: restarted, unless the signal
// asked the program to end (then the call fails, so the end is not held
// up). For the platform's own source files only.
#include <cerrno>

#include "platform/termination_requests.h"

namespace fwu::posix {

inline bool Restart(long rc) { return rc < 0 && errno == EINTR && !TerminationRequested(); }

}  // namespace fwu::posix
