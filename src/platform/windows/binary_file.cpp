#include "platform/binary_file.h"

#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "platform/windows/wide_text.h"
#include "platform/windows/winsock.h"

namespace fwu {

namespace {

// One call moves at most this much; larger requests loop.
constexpr DWORD kLargestCall = 1u << 30;
constexpr int kUniqueNameAttempts = 100;

}  // namespace

ReadOnlyFile::~ReadOnlyFile() { Close(); }

// A directory does not open without backup semantics, so only files do.
bool ReadOnlyFile::Open(const std::string& path) {
  Close();
  const auto wide = Widen(path);
  if (!wide) return false;
  const HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  fd_ = FromHandle(file);
  if (fd_ < 0) return false;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    Close();
    return false;
  }
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

bool ReadOnlyFile::ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const {
  if (fd_ < 0 || offset > size_ || length > size_ - offset) return false;
  while (length > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(length, kLargestCall));
    // Nothing read means the file shrank after it was opened.
    if (!ReadFile(ToHandle(fd_), destination, asked, &got, &at) || got == 0) return false;
    destination += got;
    offset += got;
    length -= got;
  }
  return true;
}

void ReadOnlyFile::Close() {
  if (fd_ >= 0) CloseHandle(ToHandle(fd_));
  fd_ = -1;
  size_ = 0;
}

NewFile::~NewFile() { Close(); }

// The mode has no meaning here: the file takes the access rights of its
// directory, which for extracted files is the user's private one.
bool NewFile::Create(const std::string& path, unsigned /*mode*/) {
  Close();
  const auto wide = Widen(path);
  fd_ = wide ? FromHandle(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr))
             : -1;
  // Callers tell a name already taken from other failures by errno, as on
  // POSIX.
  if (fd_ < 0) errno = wide && GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EIO;
  return fd_ >= 0;
}

bool NewFile::CreateBeside(const std::string& target, std::string& createdPath, unsigned mode) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device entropy;
  for (int attempt = 0; attempt < kUniqueNameAttempts; ++attempt) {
    std::string name = target + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[entropy() % (sizeof kLetters - 1)];
    if (Create(name, mode)) {
      createdPath = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool NewFile::WriteAll(const std::uint8_t* data, std::size_t length) {
  if (fd_ < 0) return false;
  while (length > 0) {
    DWORD put = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(length, kLargestCall));
    if (!WriteFile(ToHandle(fd_), data, asked, &put, nullptr) || put == 0) return false;
    data += put;
    length -= put;
  }
  return true;
}

bool NewFile::Close() {
  if (fd_ < 0) return true;
  const bool closed = CloseHandle(ToHandle(fd_)) != 0;
  fd_ = -1;
  return closed;
}

// The C runtime's view: read and write for everyone unless read-only, and
// execute for programs.
std::optional<unsigned> FilePermissions(const std::string& path) {
  const auto wide = Widen(path);
  struct _stat64 info {};
  if (!wide || _wstat64(wide->c_str(), &info) != 0) return std::nullopt;
  return static_cast<unsigned>(info.st_mode & 07777);
}

bool SetFilePermissions(const std::string& path, unsigned mode) {
  const auto wide = Widen(path);
  return wide && _wchmod(wide->c_str(), static_cast<int>(mode & (_S_IREAD | _S_IWRITE))) == 0;
}

}  // namespace fwu
