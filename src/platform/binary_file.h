#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/bytes.h"

namespace fwu {

// Bytes that can be read at any offset: a file, or memory in tests. A read
// that would pass the end is refused whole, never served in part.
class RandomAccessSource {
 public:
  virtual ~RandomAccessSource() = default;
  virtual std::uint64_t Size() const = 0;
  // True only when all `length` bytes were read.
  virtual bool ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const = 0;
};

class MemorySource final : public RandomAccessSource {
 public:
  explicit MemorySource(const Bytes& bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const override {
    if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), length, destination);
    return true;
  }

 private:
  const Bytes& bytes_;
};

// A file opened read-only. Reads never go past the size the file had when it
// was opened.
class ReadOnlyFile final : public RandomAccessSource {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const override;
  void Close();

 private:
  // Sends from the file without reading it into this process.
  friend class TcpSocket;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// A file this program creates and fills. Creation is exclusive, so a file
// that already exists (planted, or a second entry of the same name) is
// never written through.
class NewFile {
 public:
  NewFile() = default;
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Mode bits as for open(2), before the umask.
  bool Create(const std::string& path, unsigned mode = 0600);
  // A new file of a name no other file has, in the directory of target and
  // named after it, so that it can later be renamed over target. Its path
  // is left in createdPath.
  bool CreateBeside(const std::string& target, std::string& createdPath, unsigned mode = 0600);
  // Writes every byte, however many calls the system needs.
  bool WriteAll(const std::uint8_t* data, std::size_t length);
  // False when the data could not be flushed to the file.
  bool Close();

 private:
  int fd_ = -1;
};

// Permission bits (rwx for user, group, others and the special bits), or
// nothing when the file cannot be examined.
std::optional<unsigned> FilePermissions(const std::string& path);
bool SetFilePermissions(const std::string& path, unsigned mode);

}  // namespace fwu
