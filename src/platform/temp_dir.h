#pragma once

#include <string>

namespace fwu {

// A directory made fresh for one run inside the system's temporary
// directory ($TMPDIR or /tmp, mode 0700; on Windows %TMP% or %TEMP%, with an
// access list for the user alone), so that no other user can plant or read
// the files extracted into it.
// Removed with everything in it when the object goes.
class PrivateTempDir {
 public:
  PrivateTempDir();
  ~PrivateTempDir();
  PrivateTempDir(const PrivateTempDir&) = delete;
  PrivateTempDir& operator=(const PrivateTempDir&) = delete;

  bool Valid() const { return !path_.empty(); }
  // Why the directory could not be made: where, and the system's reason.
  const std::string& Failure() const { return failure_; }
  // The directory followed by the separator, ready for a file name.
  const std::string& PathWithSeparator() const { return path_; }

 private:
  std::string path_;
  std::string failure_;
};

// True when nobody but the current user (and, on Windows, the system
// itself) has any access to the file or directory: no group or other mode
// bits on POSIX, an access list naming nobody else on Windows.
bool OnlyCurrentUserHasAccess(const std::string& path);

}  // namespace fwu
