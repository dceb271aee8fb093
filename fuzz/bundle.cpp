// The bundle trailer and its records: the end of a program file that anyone
// can hand the user.
#include <cstddef>
#include <cstdint>

#include "bundle/bundle_layout.h"
#include "bundle/section_letters.h"
#include "fuzz_check.h"
#include "platform/binary_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fwu::Bytes bytes(data, data + size);
  const fwu::BundleLayout layout = fwu::ReadBundleLayout(fwu::MemorySource(bytes));
  if (layout.status != fwu::BundleStatus::Ok) {
    FUZZ_CHECK(layout.records.empty());
    return 0;
  }
  // Extraction reads each record's content where the layout says: every one
  // must lie inside the file, behind the program and before the trailer.
  FUZZ_CHECK(!layout.records.empty() && layout.records.size() <= fwu::bundle_format::kMaxEntries);
  FUZZ_CHECK(layout.executableSize <= size);
  std::uint64_t next = layout.executableSize;
  std::string sections;
  for (const fwu::BundleRecord& record : layout.records) {
    FUZZ_CHECK(record.contentOffset == next + fwu::bundle_format::kRecordHeaderSize);
    FUZZ_CHECK(record.contentOffset + record.contentLength <= size);
    FUZZ_CHECK(fwu::IsSafeEntryName(record.name));
    const std::string file = fwu::ExtractedFileName(record.name, record.attribute);
    FUZZ_CHECK(fwu::IsSafeEntryName(file));
    fwu::AddSectionLetter(sections, fwu::attr::SectionNumber(record.attribute));
    next = record.contentOffset + record.contentLength;
  }
  FUZZ_CHECK(next + fwu::bundle_format::TrailerLength(layout.records.size()) == size);
  FUZZ_CHECK(sections.size() <= fwu::kMaxSectionLetters);
  return 0;
}
