#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "bundle/file_table.h"
#include "platform/temp_dir.h"

namespace fwu {

class Dialogs;
class LogSink;
class NoticePresenter;
class MappedFile;
struct BundleLayout;

// Copies the program's own file and every entry of the bundle appended to it
// into temporary files, and owns those files until it is destroyed. Every
// failure is told to the user in a message box (the program's only mode).
class BundleReader {
 public:
  // Makes a private temporary directory of its own for this reader.
  BundleReader(Dialogs& dialogs, NoticePresenter& notices);
  // Deletes every temporary file it made, and the directory.
  ~BundleReader();
  BundleReader(const BundleReader&) = delete;
  BundleReader& operator=(const BundleReader&) = delete;

  // Content bytes of all entries (> 0), 0 when the file carries no bundle
  // (row 0 is then a copy of the whole file), -1 on any failure, -2 when the
  // bundle's format version is not the one this reader understands.
  int ReadinputExeFile(const std::string& programPath);

  // Two lines per row: its path, then its attribute word in decimal.
  void ListToLog(LogSink& log) const;
  // Rows whose type byte marks an upgrade file.
  int CountUpgradeFiles() const;
  // Letters of the sections the rows name, in row order, each once.
  std::string SectionList() const;
  void CopyFileTable(FileTable& out) const;
  const FileTable& ExtractedFileTable() const { return table_; }

 private:
  enum class CopyResult { Copied, CreateFailed, ReadFailed, WriteFailed };

  int CopyWholeFile(const MappedFile& program, const std::string& copyPath);
  int ReadImbedFile(const std::string& programPath, const std::string& programName);
  int ExtractEntries(const MappedFile& program, const BundleLayout& layout);
  // Writes `length` bytes of the program file at `offset` to a new file,
  // with one call, straight from the file's mapping.
  CopyResult CopyRange(const MappedFile& program, std::uint64_t offset, std::uint64_t length,
                       const std::string& target);
  void RemoveExtractedFiles();

  Dialogs& dialogs_;
  NoticePresenter& notices_;
  PrivateTempDir tempDir_;
  FileTable table_;
};

}  // namespace fwu
