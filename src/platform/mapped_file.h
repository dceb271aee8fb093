#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/binary_file.h"

namespace fwu {

// A whole file mapped read-only into memory, so that a large piece of it can
// be handed to a write without first copying it into a buffer of our own:
// that copy through fresh memory costs several times what the write does.
// The file must not shrink while it is mapped (the running program's own
// file cannot be written at all); reads are checked against the size it had
// when it was opened.
class MappedFile final : public RandomAccessSource {
 public:
  MappedFile() = default;
  ~MappedFile() override;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // False for anything but a readable regular file.
  bool Open(const std::string& path);
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const override;
  // The bytes in place, or nullptr unless all of them lie inside the file.
  const std::uint8_t* View(std::uint64_t offset, std::uint64_t length) const;
  void Close();

 private:
  const std::uint8_t* data_ = nullptr;
  std::uint64_t size_ = 0;
  bool open_ = false;
};

}  // namespace fwu
