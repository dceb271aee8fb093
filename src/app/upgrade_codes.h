#pragma once

#include <cstdint>

#include "transfer/completion_codes.h"

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

// The control file's flag byte, bit by bit.
namespace control_flag {
// Clear: the factory's build, which presets the factory password.
inline constexpr std::uint8_t kUserRelease = 0x10;
inline constexpr std::uint8_t kShowLog = 0x20;
inline constexpr std::uint8_t kSectionIdCheck = 0x40;
}  // namespace control_flag

// SetLayout's arguments: which groups the main window shows. 2 to 5 fit the
// window to what they show; 6 and 7 only add or take away the log pane.
namespace layout {
inline constexpr int kEverything = 1;
inline constexpr int kFiles = 2, kPasswordAndFiles = 3, kProgressOnly = 4, kPassword = 5;
inline constexpr int kLogShown = 6, kLogHidden = 7;
}  // namespace layout

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
