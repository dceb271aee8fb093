#include "platform/files.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "platform/binary_file.h"
#include "platform/file_system_path.h"

namespace fwu {

namespace {

constexpr int kUniqueNameAttempts = 100;

std::string RandomName(std::random_device& entropy) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string name(10, ' ');
  for (char& c : name) c = kLetters[pick(entropy)];
  return name;
}

}  // namespace

std::optional<Bytes> ReadWholeFile(const std::string& path) {
  std::ifstream in(FileSystemPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  Bytes content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

bool WriteWholeFile(const std::string& path, const Bytes& content) {
  std::ofstream out(FileSystemPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  out.close();
  return static_cast<bool>(out);
}

bool WriteFileAtomically(const std::string& path, const Bytes& content, std::optional<unsigned> mode) {
  const std::string directory = path.substr(0, path.size() - FileNamePart(path).size());
  std::random_device entropy;
  for (int attempt = 0; attempt < kUniqueNameAttempts; ++attempt) {
    const std::string side = directory + ".fwu-" + RandomName(entropy);
    NewFile file;
    // 0666 before the umask, as for any file the user asks us to write.
    if (!file.Create(side, 0666)) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool written = file.WriteAll(content.data(), content.size()) && file.Close() &&
                         (!mode || SetFilePermissions(side, *mode)) && RenameFile(side, path);
    if (!written) RemoveFile(side);
    return written;
  }
  return false;
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(FileSystemPath(path), ignored);
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  std::error_code failed;
  const auto size = std::filesystem::file_size(FileSystemPath(path), failed);
  if (failed) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

bool RemoveFile(const std::string& path) {
  std::error_code failed;
  return std::filesystem::remove(FileSystemPath(path), failed) && !failed;
}

// Replaces an existing target on every system (a plain rename does not on
// Windows), so a kept copy or an atomic write never stops at an old file.
bool RenameFile(const std::string& from, const std::string& to) {
  std::error_code failed;
  std::filesystem::rename(FileSystemPath(from), FileSystemPath(to), failed);
  return !failed;
}

}  // namespace fwu
