#pragma once

#include <optional>
#include <string>

#include "bundle/bundle_reader.h"
#include "bundle_test_support.h"

namespace fwu::test {

class BundleReaderTest : public IsolatedTempTest {
 protected:
  // Writes the program file, reads it, and keeps the reader for inspection.
  int Read(const Bytes& programBytes, const std::string& programName = "fwupgrade") {
    programPath_ = WriteInput(programName, programBytes);
    reader_.emplace(dialogs_, notices_);
    return reader_->ReadinputExeFile(programPath_);
  }
  const FileTable& Table() const { return reader_->ExtractedFileTable(); }

  std::string programPath_;
  std::optional<BundleReader> reader_;
};

}  // namespace fwu::test
