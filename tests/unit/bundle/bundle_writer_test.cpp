#include <gtest/gtest.h>

#include "bundle/bundle_layout.h"
#include "bundle_test_support.h"

namespace fwu {
namespace {

using test::DeliveredEntries;
using test::Filled;

std::uint32_t Le32At(const Bytes& bytes, std::size_t offset) {
  return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
         (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}
std::uint16_t Le16At(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

TEST(BundleWriter, LaysOutRecordsAndAFullTrailer) {
  const Bytes executable = Filled(1000, 9);
  const auto entries = DeliveredEntries();
  const Bytes bytes = test::BuildOrFail(executable, entries);

  const std::size_t size = bytes.size();
  ASSERT_EQ(size, 1000 + 3 * 38 + 224 + 3000 + 400 + 26);
  EXPECT_TRUE(std::equal(executable.begin(), executable.end(), bytes.begin()));

  // Records, read by hand: length, attribute high byte first, padded name.
  std::size_t offset = executable.size();
  std::vector<std::size_t> recordOffsets;
  for (const BundleEntry& entry : entries) {
    recordOffsets.push_back(offset);
    EXPECT_EQ(Le32At(bytes, offset), 38 + entry.content.size());
    EXPECT_EQ(bytes[offset + 4], entry.attribute >> 8);
    EXPECT_EQ(bytes[offset + 5], entry.attribute & 0xFF);
    const std::string name(reinterpret_cast<const char*>(&bytes[offset + 6]));
    EXPECT_EQ(name, entry.name);
    for (std::size_t i = 6 + name.size(); i < 38; ++i) EXPECT_EQ(bytes[offset + i], 0);
    EXPECT_TRUE(std::equal(entry.content.begin(), entry.content.end(), bytes.begin() + offset + 38));
    offset += 38 + entry.content.size();
  }

  // Trailer: every distance counts back from the end of the file.
  for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(Le32At(bytes, offset + 4 * k), size - recordOffsets[k]) << k;
  EXPECT_EQ(Le16At(bytes, size - 14), 4);
  EXPECT_EQ(Le16At(bytes, size - 12), 3);
  EXPECT_EQ(Le16At(bytes, size - 10), 26);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[size - 8]), 8), std::string("vantrel\0", 8));
}

std::vector<BundleEntry> NumberedEntries(int count) {
  std::vector<BundleEntry> entries;
  for (int i = 0; i < count; ++i) entries.push_back({"x" + std::to_string(i), 0x080D, {}});
  return entries;
}

TEST(BundleWriter, RefusesWhatAReaderWouldRefuse) {
  const Bytes executable = Filled(10, 0);
  const std::vector<std::pair<std::string, std::vector<BundleEntry>>> cases{
      {"no entries", {}},
      {"empty name", {{"", 0x080D, {}}}},
      {"dot", {{".", 0x080D, {}}}},
      {"dot dot", {{"..", 0x080D, {}}}},
      {"slash", {{"a/b", 0x080D, {}}}},
      {"backslash", {{"..\\evil", 0x080D, {}}}},
      {"32 characters", {{std::string(32, 'n'), 0x080D, {}}}},
      {"same name twice", {{"fw", 0x080D, {}}, {"fw", 0x0825, {}}}},
      {"same extracted name", {{"a", 0x080D, {}}, {"a.tmp", 0x040D, {}}}},
      {"64 entries", NumberedEntries(64)},
  };
  for (const auto& [label, entries] : cases) {
    const BuiltBundle built = BuildBundle(executable, entries);
    EXPECT_FALSE(built.Ok()) << label;
    EXPECT_TRUE(built.bytes.empty()) << label;
  }
  EXPECT_TRUE(BuildBundle(executable, {{std::string(31, 'n'), 0x080D, {}}}).Ok());
  EXPECT_TRUE(BuildBundle(executable, {{"a", 0x080D, {}}, {"a", 0x040D, {}}}).Ok());
  EXPECT_TRUE(BuildBundle(executable, NumberedEntries(63)).Ok());
}

TEST(BundleLayout, ReadsBackWhatTheWriterWrote) {
  const auto entries = DeliveredEntries();
  const Bytes bytes = test::BuildOrFail(Filled(77, 5), entries);
  const BundleLayout layout = ReadBundleLayout(MemorySource(bytes));
  ASSERT_EQ(layout.status, BundleStatus::Ok);
  EXPECT_EQ(layout.executableSize, 77u);
  ASSERT_EQ(layout.records.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(layout.records[i].name, entries[i].name);
    EXPECT_EQ(layout.records[i].attribute, entries[i].attribute);
    EXPECT_EQ(layout.records[i].contentLength, entries[i].content.size());
    const Bytes content(bytes.begin() + static_cast<std::ptrdiff_t>(layout.records[i].contentOffset),
                        bytes.begin() + static_cast<std::ptrdiff_t>(layout.records[i].contentOffset +
                                                                    layout.records[i].contentLength));
    EXPECT_EQ(content, entries[i].content);
  }
}

TEST(BundleLayout, TellsAPlainFileAndAForeignVersionApart) {
  EXPECT_EQ(ReadBundleLayout(MemorySource(Bytes{})).status, BundleStatus::NoBundle);
  EXPECT_EQ(ReadBundleLayout(MemorySource(Filled(500, 1))).status, BundleStatus::NoBundle);
  const Bytes onlyMagic(bundle_format::kMagic.begin(), bundle_format::kMagic.end());
  EXPECT_EQ(ReadBundleLayout(MemorySource(onlyMagic)).status, BundleStatus::TrailerUnreadable);

  Bytes bytes = test::BuildOrFail(Filled(50, 1), DeliveredEntries());
  bytes[bytes.size() - 14] = 3;
  const BundleLayout layout = ReadBundleLayout(MemorySource(bytes));
  EXPECT_EQ(layout.status, BundleStatus::UnsupportedVersion);
  EXPECT_EQ(layout.version, 3);
  EXPECT_TRUE(layout.records.empty());
}

}  // namespace
}  // namespace fwu
