#pragma once

#include <string>

namespace fwu {

// An entry name becomes a file name in a directory the program chooses,
// on Windows as on any other system, so the one rule is Windows' and
// POSIX's together. Refused: a name that is empty, "." or "..", or holds a
// separator (it could escape the directory); bytes that are not UTF-8 (no
// file name on Windows holds them); a control character or one of <>:"|?*
// (':' would write into a hidden stream of another file); a trailing dot or
// blank (Windows drops it, so the name would become another); a device name
// (CON, NUL, COM1 ..., also with an extension), which opens the device.
bool IsSafeEntryName(const std::string& name);

}  // namespace fwu
