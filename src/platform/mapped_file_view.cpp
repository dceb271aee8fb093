#include <cstring>

#include "platform/mapped_file.h"

// What a mapping offers once it exists, the same on every system.
namespace fwu {

MappedFile::~MappedFile() { Close(); }

const std::uint8_t* MappedFile::View(std::uint64_t offset, std::uint64_t length) const {
  if (!open_ || offset > size_ || length > size_ - offset) return nullptr;
  // A view of nothing still needs a valid pointer.
  static constexpr std::uint8_t kNothing = 0;
  return length == 0 ? &kNothing : data_ + offset;
}

bool MappedFile::ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const {
  const std::uint8_t* source = View(offset, length);
  if (source == nullptr) return false;
  std::memcpy(destination, source, length);
  return true;
}

}  // namespace fwu
