#include <gtest/gtest.h>

#include "bundle/bundle_layout.h"
#include "bundle/bundle_reader.h"
#include "bundle_test_support.h"

namespace fwu {
namespace {

using test::Filled;

// Fails the test on any read that leaves the bytes, instead of refusing it.
class GuardedSource final : public RandomAccessSource {
 public:
  explicit GuardedSource(const Bytes& bytes) : inner_(bytes), size_(bytes.size()) {}
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::uint8_t* destination, std::size_t length) const override {
    EXPECT_LE(offset + length, size_) << "read outside the source";
    return inner_.ReadAt(offset, destination, length);
  }

 private:
  MemorySource inner_;
  std::uint64_t size_;
};

class BundleTruncationTest : public test::IsolatedTempTest {
 protected:
  void SetUp() override {
    IsolatedTempTest::SetUp();
    // Small entries of the delivered kinds keep the byte-by-byte sweeps quick.
    bundle_ = test::BuildOrFail(Filled(exeSize_, 3), {{"control.cfg", 0x1000, Filled(40, 1)},
                                                      {"fw_image.bin", 0x080D, Filled(90, 2)},
                                                      {"notice1.tmp", 0x040D, Filled(30, 3)}});
  }
  // Through the whole reader: -1 with the extraction failure box, and
  // nothing left behind once the reader is gone.
  void ExpectCleanFailure(const Bytes& bytes, const std::string& label) {
    {
      ScriptedDialogs dialogs(loop_);
      BundleReader reader(dialogs, notices_);
      EXPECT_EQ(reader.ReadinputExeFile(WriteInput("program", bytes)), -1) << label;
      test::ExpectOnlyBox(dialogs, "Error to open file in read_imbed_file function", "File Error", ButtonSet::YesNoCancel, label);
    }
    EXPECT_TRUE(FilesMadeByReaders().empty()) << label;
    EXPECT_TRUE(notices_.offers.empty()) << label;
  }

  const std::size_t exeSize_ = 64;
  Bytes bundle_;
};

TEST_F(BundleTruncationTest, EveryCutIntoTheRecordsIsRefused) {
  // Records lose their tail; the bundle length is shortened to match, so
  // the first record is still found and the cut shows in the walk.
  const std::size_t trailerSize = 26;
  const std::size_t recordsEnd = bundle_.size() - trailerSize;
  for (std::size_t cut = exeSize_; cut < recordsEnd; ++cut) {
    Bytes bytes(bundle_.begin(), bundle_.begin() + static_cast<std::ptrdiff_t>(cut));
    Bytes trailer(bundle_.end() - trailerSize, bundle_.end());
    const auto shortened = static_cast<std::uint32_t>(bundle_.size() - exeSize_ - (recordsEnd - cut));
    for (int b = 0; b < 4; ++b) trailer[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(shortened >> (8 * b));
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    EXPECT_EQ(ReadBundleLayout(GuardedSource(bytes)).status, BundleStatus::Malformed) << cut;
    ExpectCleanFailure(bytes, "records cut at " + std::to_string(cut));
  }
}

TEST_F(BundleTruncationTest, EveryFrontCutOfTheFileIsRefusedOnceItReachesTheBundle) {
  const std::size_t bundleLength = bundle_.size() - exeSize_;
  for (std::size_t keep = 14; keep <= bundle_.size(); ++keep) {
    const Bytes bytes(bundle_.end() - static_cast<std::ptrdiff_t>(keep), bundle_.end());
    const BundleLayout layout = ReadBundleLayout(GuardedSource(bytes));
    if (keep >= bundleLength) {
      EXPECT_EQ(layout.status, BundleStatus::Ok) << keep;
      EXPECT_EQ(layout.executableSize, keep - bundleLength);
    } else {
      EXPECT_EQ(layout.status, BundleStatus::Malformed) << keep;
    }
  }
  ExpectCleanFailure(Bytes(bundle_.end() - static_cast<std::ptrdiff_t>(bundleLength - 1), bundle_.end()),
                     "one byte short");
}

TEST_F(BundleTruncationTest, EveryCutIntoTheTrailerIsRefused) {
  // The distance table and the fixed fields lose bytes from the front; the
  // magic stays, so the reader must notice from the numbers alone.
  for (std::size_t drop = 1; drop <= 18; ++drop) {
    Bytes bytes = bundle_;
    bytes.erase(bytes.end() - 26, bytes.end() - 26 + static_cast<std::ptrdiff_t>(drop));
    const BundleStatus status = ReadBundleLayout(GuardedSource(bytes)).status;
    EXPECT_TRUE(status == BundleStatus::Malformed || status == BundleStatus::UnsupportedVersion) << drop;
  }
  for (std::size_t keep = 8; keep < 14; ++keep) {
    const Bytes bytes(bundle_.end() - static_cast<std::ptrdiff_t>(keep), bundle_.end());
    EXPECT_EQ(ReadBundleLayout(GuardedSource(bytes)).status, BundleStatus::TrailerUnreadable) << keep;
  }
}

TEST_F(BundleTruncationTest, BytesBetweenTheLastRecordAndTheTrailerAreRefused) {
  // The count says three records, but the lengths leave a gap: one of the
  // two is wrong, and nothing tells which.
  Bytes bytes = bundle_;
  bytes.insert(bytes.end() - 26, {0xEE, 0xEE});
  const std::size_t lengthAt = bytes.size() - 26;
  bytes[lengthAt] = static_cast<std::uint8_t>(bytes[lengthAt] + 2);
  EXPECT_EQ(ReadBundleLayout(GuardedSource(bytes)).status, BundleStatus::Malformed);
  ExpectCleanFailure(bytes, "gap before the trailer");
}

TEST_F(BundleTruncationTest, InconsistentTrailerNumbersAreRefused) {
  const std::size_t size = bundle_.size();
  struct Patch {
    const char* label;
    std::size_t offset;
    std::uint8_t value;
    std::size_t alsoOffset = 0;  // a second byte, when one patch needs two
    std::uint8_t alsoValue = 0;
  };
  const std::vector<Patch> patches{
      {"count one more", size - 12, 4},   {"count zero", size - 12, 0},
      {"count zero with its own length", size - 12, 0, size - 10, 14},
      {"length one less", size - 10, 25}, {"length huge", size - 9, 0xFF},
      {"bundle longer than file", size - 26 + 3, 0x7F},
      {"bundle shorter than trailer", size - 26 + 1, 0},
      {"record length below header", exeSize_, 37},
      {"record length past trailer", exeSize_ + 1, 0x40},
  };
  for (const Patch& patch : patches) {
    Bytes bytes = bundle_;
    if (patch.offset == size - 26 + 1) bytes[size - 26] = 10;
    bytes[patch.offset] = patch.value;
    if (patch.alsoOffset != 0) bytes[patch.alsoOffset] = patch.alsoValue;
    if (patch.offset == exeSize_) bytes[exeSize_ + 1] = 0;
    EXPECT_EQ(ReadBundleLayout(GuardedSource(bytes)).status, BundleStatus::Malformed) << patch.label;
    ExpectCleanFailure(bytes, patch.label);
  }
}

}  // namespace
}  // namespace fwu
