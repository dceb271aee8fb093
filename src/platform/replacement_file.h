#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/binary_file.h"

namespace fwu {

// A file received in full before it takes the place of an earlier one: the
// bytes go to a side file of a unique name beside the target (mode 0600),
// and only Replace gives it the target's name, keeping the earlier file
// with ".BAK" appended. A copy that is cut off, fails to write or is
// abandoned never costs the last good one: the side file goes with the
// object unless it replaced the target.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool Create(const std::string& target);
  bool WriteAll(const std::uint8_t* data, std::size_t length) { return side_.WriteAll(data, length); }
  // False when the data could not be flushed to the side file.
  bool Finish() { return side_.Close(); }
  // The finished side file becomes the target; the earlier target its backup.
  bool Replace();

 private:
  void Discard();

  NewFile side_;
  std::string target_;
  std::string sidePath_;
};

}  // namespace fwu
