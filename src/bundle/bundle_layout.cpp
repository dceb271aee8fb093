#include "bundle/bundle_layout.h"

#include <algorithm>

#include "platform/fixed_field.h"
#include "platform/little_endian.h"

namespace fwu {

namespace {

using namespace bundle_format;

// Every check is a plain comparison of already-read numbers; the helper keeps
// the walk readable.
BundleLayout Fail(BundleStatus status, std::uint16_t version) {
  BundleLayout layout;
  layout.status = status;
  layout.version = version;
  return layout;
}

bool WalkRecords(const RandomAccessSource& source, std::uint64_t start, std::uint64_t trailerStart,
                 std::uint16_t count, BundleLayout& layout) {
  std::uint64_t position = start;
  for (std::uint16_t k = 0; k < count; ++k) {
    if (trailerStart - position < kRecordHeaderSize) return false;
    std::array<std::uint8_t, kRecordHeaderSize> header{};
    if (!source.ReadAt(position, header.data(), header.size())) return false;
    const std::uint32_t recordLength = LoadLe32(header.data());
    if (recordLength < kRecordHeaderSize || recordLength > trailerStart - position) return false;
    BundleRecord record;
    record.attribute = static_cast<std::uint16_t>((header[4] << 8) | header[5]);
    record.name = FixedFieldText(header.data() + 6, kNameFieldSize);
    record.contentOffset = position + kRecordHeaderSize;
    record.contentLength = recordLength - static_cast<std::uint32_t>(kRecordHeaderSize);
    layout.records.push_back(std::move(record));
    position += recordLength;
  }
  // Records fill the space up to the trailer exactly; anything left over
  // means the count and the lengths disagree.
  return position == trailerStart;
}

}  // namespace

BundleLayout ReadBundleLayout(const RandomAccessSource& source) {
  const std::uint64_t size = source.Size();
  std::array<std::uint8_t, kMagic.size()> magic{};
  if (size < magic.size() || !source.ReadAt(size - magic.size(), magic.data(), magic.size()) ||
      magic != kMagic) {
    return Fail(BundleStatus::NoBundle, 0);
  }
  std::array<std::uint8_t, kFixedTrailerSize> fixed{};
  if (size < fixed.size() || !source.ReadAt(size - fixed.size(), fixed.data(), fixed.size())) {
    return Fail(BundleStatus::TrailerUnreadable, 0);
  }
  const std::uint16_t version = LoadLe16(fixed.data());
  if (version != kVersion) return Fail(BundleStatus::UnsupportedVersion, version);
  const std::uint16_t count = LoadLe16(fixed.data() + 2);
  const std::uint16_t trailerLength = LoadLe16(fixed.data() + 4);
  if (count == 0 || trailerLength != TrailerLength(count) || trailerLength > size) {
    return Fail(BundleStatus::Malformed, version);
  }
  std::array<std::uint8_t, 4> lengthField{};
  if (!source.ReadAt(size - trailerLength, lengthField.data(), lengthField.size())) {
    return Fail(BundleStatus::Malformed, version);
  }
  const std::uint32_t bundleLength = LoadLe32(lengthField.data());
  if (bundleLength < trailerLength || bundleLength > size) return Fail(BundleStatus::Malformed, version);

  BundleLayout layout = Fail(BundleStatus::Ok, version);
  layout.executableSize = size - bundleLength;
  if (!WalkRecords(source, layout.executableSize, size - trailerLength, count, layout)) {
    return Fail(BundleStatus::Malformed, version);
  }
  if (layout.records.size() > kMaxEntries) return Fail(BundleStatus::TooManyEntries, version);
  for (const BundleRecord& record : layout.records) {
    if (!IsSafeEntryName(record.name)) {
      BundleLayout refused = Fail(BundleStatus::UnsafeName, version);
      refused.badName = record.name;
      return refused;
    }
  }
  return layout;
}

std::string ExtractedFileName(const std::string& name, std::uint16_t attribute) {
  const std::uint16_t keepsName = attr::kMessageFile | attr::kKeepName;
  return (attribute & keepsName) ? name : name + ".tmp";
}

std::string ProgramCopyName(const std::string& programName, const BundleLayout& layout) {
  const auto taken = [&layout](const std::string& name) {
    return std::any_of(layout.records.begin(), layout.records.end(), [&name](const BundleRecord& record) {
      return ExtractedFileName(record.name, record.attribute) == name;
    });
  };
  // One more candidate than there are entries: one of them is always free.
  std::string name = ExtractedFileName(programName, 0);
  for (std::size_t n = 1; taken(name); ++n) name = programName + "." + std::to_string(n) + ".tmp";
  return name;
}

}  // namespace fwu
