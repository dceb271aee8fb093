#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fwu {

// Attribute word: type byte high, check byte low.
namespace attr {
inline constexpr std::uint16_t kControlFile = 0x1000;
inline constexpr std::uint16_t kUpgradeFile = 0x0800;
inline constexpr std::uint16_t kMessageFile = 0x0400;
inline constexpr std::uint16_t kKeepName = 0x0100;
// What a file the user (or the command line, or the control file) chose gets:
// an upgrade file without ID check, enabled for every method.
inline constexpr std::uint16_t kUserChosenFile = 0x080D;

inline constexpr std::uint8_t TypeByte(std::uint16_t word) { return static_cast<std::uint8_t>(word >> 8); }
inline constexpr std::uint8_t CheckByte(std::uint16_t word) { return static_cast<std::uint8_t>(word & 0xFF); }
inline constexpr int SectionNumber(std::uint16_t word) { return (word >> 4) & 0x0F; }
}  // namespace attr

struct FileRow {
  std::string path;
  std::uint16_t attribute = 0;
  // The bundle reader's kind: 0 the program file's own copy, 1 an entry;
  // files chosen by the user carry 1 as well.
  std::uint32_t state = 0;
};

// The extracted-file table and the main window's FileList share this shape.
// It never holds more than 64 rows.
class FileTable {
 public:
  static constexpr std::size_t kCapacity = 64;

  const std::vector<FileRow>& Rows() const { return rows_; }
  std::size_t Count() const { return rows_.size(); }
  bool Empty() const { return rows_.empty(); }
  bool Full() const { return rows_.size() >= kCapacity; }
  const FileRow& operator[](std::size_t i) const { return rows_[i]; }

  void Clear() { rows_.clear(); }
  // False (and nothing added) when the table is full.
  bool Add(FileRow row) {
    if (Full()) return false;
    rows_.push_back(std::move(row));
    return true;
  }
  // The table becomes one file the user chose: slot 0, attribute 0x080D, state 1.
  void SetSingleUserFile(const std::string& path) {
    rows_.assign(1, FileRow{path, attr::kUserChosenFile, 1});
  }

 private:
  std::vector<FileRow> rows_;
};

}  // namespace fwu
