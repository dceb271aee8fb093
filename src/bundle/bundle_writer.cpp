#include "bundle/bundle_writer.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>

#include "bundle/bundle_layout.h"
#include "platform/little_endian.h"

namespace fwu {

namespace {

using namespace bundle_format;

std::string CheckEntries(const std::vector<BundleEntry>& entries) {
  if (entries.empty()) return "a bundle needs at least one entry";
  if (entries.size() > kMaxEntries) return "a bundle holds at most " + std::to_string(kMaxEntries) + " entries";
  std::uint64_t bundleLength = TrailerLength(entries.size());
  std::set<std::string> extractedNames;
  for (const BundleEntry& entry : entries) {
    if (!IsSafeEntryName(entry.name)) return "unsafe entry name \"" + entry.name + "\"";
    if (entry.name.size() > kMaxNameLength) {
      return "entry name \"" + entry.name + "\" is longer than " + std::to_string(kMaxNameLength) + " characters";
    }
    // The reader refuses to let one entry's file replace another's.
    if (!extractedNames.insert(ExtractedFileName(entry.name, entry.attribute)).second) {
      return "entry \"" + entry.name + "\" would be extracted over another entry of the same file name";
    }
    bundleLength += kRecordHeaderSize + entry.content.size();
  }
  if (bundleLength > std::numeric_limits<std::uint32_t>::max()) return "the entries are too large for one bundle";
  return {};
}

void AppendRecord(Bytes& out, const BundleEntry& entry) {
  AppendLe32(out, static_cast<std::uint32_t>(kRecordHeaderSize + entry.content.size()));
  out.push_back(static_cast<std::uint8_t>(entry.attribute >> 8));
  out.push_back(static_cast<std::uint8_t>(entry.attribute & 0xFF));
  std::array<std::uint8_t, kNameFieldSize> name{};
  std::copy(entry.name.begin(), entry.name.end(), name.begin());
  out.insert(out.end(), name.begin(), name.end());
  out.insert(out.end(), entry.content.begin(), entry.content.end());
}

}  // namespace

BuiltBundle BuildBundle(const Bytes& executable, const std::vector<BundleEntry>& entries) {
  BuiltBundle built;
  built.error = CheckEntries(entries);
  if (!built.Ok()) return built;

  const std::uint64_t trailerLength = TrailerLength(entries.size());
  std::uint64_t total = executable.size() + trailerLength;
  for (const BundleEntry& entry : entries) total += kRecordHeaderSize + entry.content.size();

  Bytes& out = built.bytes;
  out.reserve(total);
  out = executable;
  std::vector<std::uint64_t> recordOffsets;
  for (const BundleEntry& entry : entries) {
    recordOffsets.push_back(out.size());
    AppendRecord(out, entry);
  }
  // Each distance counts back from the end of the finished file.
  for (const std::uint64_t offset : recordOffsets) AppendLe32(out, static_cast<std::uint32_t>(total - offset));
  AppendLe16(out, kVersion);
  AppendLe16(out, static_cast<std::uint16_t>(entries.size()));
  AppendLe16(out, static_cast<std::uint16_t>(trailerLength));
  out.insert(out.end(), kMagic.begin(), kMagic.end());
  return built;
}

}  // namespace fwu
