#include "platform/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace fwu {

ReadOnlyFile::~ReadOnlyFile() { Close(); }

bool ReadOnlyFile::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat info {};
  // A directory opens read-only too, but is no file to read.
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    Close();
    return false;
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool ReadOnlyFile::ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const {
  if (fd_ < 0 || offset > size_ || length > size_ - offset) return false;
  while (length > 0) {
    const ssize_t got = ::pread(fd_, destination, length, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    // Zero means the file shrank after it was opened.
    if (got <= 0) return false;
    destination += got;
    offset += static_cast<std::uint64_t>(got);
    length -= static_cast<std::size_t>(got);
  }
  return true;
}

void ReadOnlyFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

NewFile::~NewFile() { Close(); }

bool NewFile::Create(const std::string& path, unsigned mode) {
  Close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
  return fd_ >= 0;
}

bool NewFile::CreateBeside(const std::string& target, std::string& createdPath, unsigned mode) {
  Close();
  std::string name = target + ".XXXXXX";
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  if (::fchmod(fd_, static_cast<mode_t>(mode)) != 0) {
    Close();
    ::unlink(name.c_str());
    return false;
  }
  createdPath = name;
  return true;
}

bool NewFile::WriteAll(const std::uint8_t* data, std::size_t length) {
  if (fd_ < 0) return false;
  while (length > 0) {
    const ssize_t put = ::write(fd_, data, length);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    length -= static_cast<std::size_t>(put);
  }
  return true;
}

bool NewFile::Close() {
  if (fd_ < 0) return true;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return closed;
}

std::optional<unsigned> FilePermissions(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<unsigned>(info.st_mode & 07777);
}

bool SetFilePermissions(const std::string& path, unsigned mode) {
  return ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0;
}

}  // namespace fwu
