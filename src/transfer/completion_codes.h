#pragma once

#include <cstdint>

// The words a transfer and the controller share: the run's UpgradeState and
// what lands in StopCounter. Both sides write or read the same numbers, so
// they live below both, where the transports may include them.
namespace fwu {

// UpgradeState: which transfer runs, or how the last one ended.
namespace state {
inline constexpr std::int16_t kTftpRunning = 11, kTftpDone = 12, kTftpFailed = 13;
inline constexpr std::int16_t kHttpRunning = 121, kHttpDone = 122, kHttpFailed = 123;
inline constexpr std::int16_t kFtpRunning = 131, kFtpDone = 132;
// A refused FTP login or file ends the run here, not at "running", so that
// the console's wait returns and Exit is not refused.
inline constexpr std::int16_t kFtpFailed = 133;
}  // namespace state

// What the transports report in StopCounter besides progress (0).
namespace report {
inline constexpr std::int16_t kHttpDone = 122, kHttpFailed = 123, kHttpFinished = 124;
inline constexpr std::int16_t kTftpRebooting = 1000, kTftpSent = 1001, kTftpRefused = 1002;
}  // namespace report

}  // namespace fwu
