#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fwu {

bool MappedFile::Open(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
  // An empty file cannot be mapped, and needs no mapping.
  if (size_ > 0) {
    void* mapping = ::mmap(nullptr, static_cast<std::size_t>(size_), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapping == MAP_FAILED) {
      ::close(fd);
      size_ = 0;
      return false;
    }
    ::madvise(mapping, static_cast<std::size_t>(size_), MADV_SEQUENTIAL);
    data_ = static_cast<const std::uint8_t*>(mapping);
  }
  ::close(fd);  // the mapping keeps the file
  open_ = true;
  return true;
}

void MappedFile::Close() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), static_cast<std::size_t>(size_));
  data_ = nullptr;
  size_ = 0;
  open_ = false;
}

}  // namespace fwu
