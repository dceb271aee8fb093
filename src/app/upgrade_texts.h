#pragma once

// Texts the main window shows in more than one place.
namespace fwu::text {

inline constexpr const char* kProgramVersion = "Program Version V1.1.1e";
inline constexpr const char* kProgramBuild = "Program build at 2002/02/19 pm 1:48";
inline constexpr const char* kReadImbedFileError = "Read Imbed File Error !!";
inline constexpr const char* kRomDownloadCaption = "Device ROM data download V1.1.0";
inline constexpr const char* kSelectUpgradeFiles = "Please select the upgrade files";
inline constexpr const char* kPressUpgrade = "Press Upgrade Button To Upgrade Router";
inline constexpr const char* kUnconnectToRouter = "Unconnect to router";
inline constexpr const char* kRouterConnectionFailure = "Router connection failure";
inline constexpr const char* kUpgradeNotCompleteRunAgain = "Upgrade Not complete, please run this program again !";
inline constexpr const char* kUpgradeWarning = "Upgrade Warning";
inline constexpr const char* kUpgradeFileNotSelected = "Upgrade file Not select, please select a upgrade file !";
// The FTP transfer's result when this build has none.
inline constexpr const char* kFtpNotAvailable = "FTP transfer not available";
inline constexpr const char* kAbnormalTerminate =
    "Upgrade Abnormal Terminate and Please ReRun the program to ReUpgrade";

}  // namespace fwu::text
