#pragma once

#include <cstdint>

// The numbers the main window's state is kept in, each named once.
namespace fwu {

// UpgradeMethod: how the chosen router is upgraded next.
namespace method {
inline constexpr std::uint16_t kNone = 0;
inline constexpr std::uint16_t kTftp = 1;
inline constexpr std::uint16_t kHttp = 2;
inline constexpr std::uint16_t kFtp = 3;
inline constexpr std::uint16_t kHttpAfterFtp = 133;
}  // namespace method

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

// The start-up verdict of the control file.
namespace verdict {
inline constexpr int kReadError = -1;
inline constexpr int kSearchAndWait = 0;
inline constexpr int kUpgradeByItself = 1;
inline constexpr int kRomDownload = 2;
inline constexpr int kPresetAndWait = 3;
}  // namespace verdict

// Device types: the search's status codes the window acts on.
namespace device {
inline constexpr int kCrash = 0;
inline constexpr int kNormal = 1;
inline constexpr int kDefault = 2;
inline constexpr int kCrashUnreachable = 3;
inline constexpr int kNormalUnreachable = 4;
inline constexpr int kDefaultUnreachable = 5;
inline constexpr int kUnknownDevice = 6;
}  // namespace device

}  // namespace fwu
