#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/bytes.h"

namespace fwu {

// The separator this system writes between directory and file names, so
// that the paths the program makes and shows read as the system's own
// (a backslash on Windows).
extern const char kPathSeparator;

// A path given by the user, written the way this system writes paths:
// on Windows, forward slashes become backslashes. The file is the same.
std::string NativePath(std::string path);

std::optional<Bytes> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const Bytes& content);
// Writes into a new file of a unique name beside the target, created
// exclusively, and renames it over the target, so that a failure never
// leaves a half-written file under the target's name and no other file in
// that directory is touched. `mode`, when given, sets the permission bits
// before the file takes the target's name.
bool WriteFileAtomically(const std::string& path, const Bytes& content, std::optional<unsigned> mode = {});
bool FileExists(const std::string& path);
std::optional<std::uint64_t> FileSize(const std::string& path);
bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);

// Everything after the last separator this system knows (Windows knows
// two): the file-name part of a path.
std::string FileNamePart(const std::string& path);

// Full path of the running program's own file.
std::string ExecutablePath();

}  // namespace fwu
