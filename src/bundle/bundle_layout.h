#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bundle/file_table.h"
#include "bundle/safe_entry_name.h"
#include "platform/binary_file.h"

namespace fwu {

// The upgrade bundle appended behind the program: entry records, then a
// trailer of a distance table, version, entry count, trailer length and
// magic. Integers little-endian; the attribute word high byte first.
namespace bundle_format {
inline constexpr std::array<std::uint8_t, 8> kMagic{'v', 'a', 'n', 't', 'r', 'e', 'l', 0};
inline constexpr std::uint16_t kVersion = 4;
inline constexpr std::size_t kRecordHeaderSize = 38;
inline constexpr std::size_t kNameFieldSize = 32;
inline constexpr std::size_t kMaxNameLength = kNameFieldSize - 1;
// Version, count, trailer length and magic: the trailer without its table.
inline constexpr std::size_t kFixedTrailerSize = 14;
// Row 0 of the extracted table is the program's own copy.
inline constexpr std::size_t kMaxEntries = FileTable::kCapacity - 1;

inline constexpr std::uint64_t TrailerLength(std::uint64_t entryCount) {
  return 4 * entryCount + kFixedTrailerSize;
}
}  // namespace bundle_format

struct BundleRecord {
  std::string name;
  std::uint16_t attribute = 0;
  std::uint64_t contentOffset = 0;
  std::uint32_t contentLength = 0;
};

enum class BundleStatus {
  Ok,
  NoBundle,            // no magic at the end: a plain file
  TrailerUnreadable,   // magic, but too short to hold the version
  UnsupportedVersion,  // only the version was read
  Malformed,           // trailer or records do not fit the file
  TooManyEntries,      // more than the extracted table can hold
  UnsafeName,          // a name that is no safe file name (see IsSafeEntryName)
};

struct BundleLayout {
  BundleStatus status = BundleStatus::NoBundle;
  std::uint16_t version = 0;
  // Bytes in front of the first record: the program itself.
  std::uint64_t executableSize = 0;
  std::vector<BundleRecord> records;
  // The offending name for UnsafeName.
  std::string badName;
};

// Reads the trailer and walks every record header, checking each against
// the file before trusting it, so that nothing is extracted from a bundle
// that does not hold together and no read ever leaves the source.
BundleLayout ReadBundleLayout(const RandomAccessSource& source);

// The name an entry's temporary file gets: message files and entries marked
// to keep their name as stored, everything else with ".tmp" appended.
std::string ExtractedFileName(const std::string& name, std::uint16_t attribute);

// The name of the program's own copy (row 0): "<program>.tmp", or, when an
// entry of the layout is extracted under that name, the first of
// "<program>.1.tmp", "<program>.2.tmp" ... that none is.
std::string ProgramCopyName(const std::string& programName, const BundleLayout& layout);

}  // namespace fwu
