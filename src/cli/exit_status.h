#pragma once

#include "app/exit_status.h"

// The console's names for the exit statuses every view shares.
namespace fwu::exit_status {

inline constexpr int kSucceeded = kExitSucceeded;
// The operation failed, or Ctrl+C, SIGTERM or SIGHUP ended it.
inline constexpr int kFailed = kExitFailed;
// A wrong command line, or a start that failed before anything was tried.
inline constexpr int kBadUsage = kExitBadStart;

}  // namespace fwu::exit_status
