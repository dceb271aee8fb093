#pragma once

#include <string>

namespace fwu {

// A directory made fresh for one run inside $TMPDIR (or /tmp), mode 0700,
// so that no other user can plant or read the files extracted into it.
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

}  // namespace fwu
