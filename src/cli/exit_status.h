#pragma once

namespace fwu::exit_status {

inline constexpr int kSucceeded = 0;
// The operation failed, or Ctrl+C, SIGTERM or SIGHUP ended it.
inline constexpr int kFailed = 1;
// A wrong command line, or a start that failed before anything was tried.
inline constexpr int kBadUsage = 2;

}  // namespace fwu::exit_status
