#include <gtest/gtest.h>

#include "bundle_reader_fixture.h"

namespace fwu {
namespace {

using test::BundleReaderTest;
using test::DeliveredEntries;
using test::Filled;

TEST_F(BundleReaderTest, ExtractsTheDeliveredLayoutIntoTemporaryFiles) {
  const Bytes executable = Filled(5000, 4);
  const auto entries = DeliveredEntries();
  EXPECT_EQ(Read(test::BuildOrFail(executable, entries)), 224 + 3000 + 400);

  ASSERT_EQ(Table().Count(), 4u);
  const std::string dir = Table()[0].path.substr(0, Table()[0].path.rfind(kPathSeparator) + 1);
  EXPECT_EQ(dir.rfind(Root() + kPathSeparator + "fwupgrade-", 0), 0u) << dir;
  EXPECT_EQ(Table()[0].path, dir + "fwupgrade.tmp");
  EXPECT_EQ(Table()[1].path, dir + "control.cfg.tmp");
  EXPECT_EQ(Table()[2].path, dir + "fw_image.bin.tmp");
  EXPECT_EQ(Table()[3].path, dir + "notice1.tmp");  // a message file keeps its name
  EXPECT_EQ(ReadWholeFile(Table()[0].path), executable);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(Table()[i + 1].attribute, entries[i].attribute);
    EXPECT_EQ(Table()[i + 1].state, 1u);
    EXPECT_EQ(ReadWholeFile(Table()[i + 1].path), entries[i].content) << i;
  }
  EXPECT_EQ(Table()[0].attribute, 0);
  EXPECT_EQ(Table()[0].state, 0u);
  EXPECT_EQ(reader_->CountUpgradeFiles(), 1);
  EXPECT_TRUE(dialogs_.Messages().empty());

  // The notice goes to the notice window at once, in the menu context.
  ASSERT_EQ(notices_.offers.size(), 1u);
  EXPECT_EQ(notices_.offers[0].content, entries[2].content);
  EXPECT_EQ(notices_.offers[0].attribute, 0x040D);
  EXPECT_EQ(notices_.offers[0].context, NoticeContext::Menu);
  EXPECT_EQ(notices_.offers[0].log, nullptr);
  EXPECT_TRUE(notices_.offers[0].selectedRomId.empty());
  EXPECT_TRUE(notices_.offers[0].path.empty());

  FileTable copy;
  copy.Add(FileRow{"stale", 1, 1});
  reader_->CopyFileTable(copy);
  ASSERT_EQ(copy.Count(), 4u);
  EXPECT_EQ(copy[2].path, Table()[2].path);
  EXPECT_EQ(copy[2].attribute, 0x080D);

  reader_->ListToLog(log_);
  ASSERT_EQ(log_.Lines().size(), 8u);
  EXPECT_EQ(log_.Lines()[2], "Imbed file 1 : " + Table()[1].path);
  EXPECT_EQ(log_.Lines()[3], "Imbed File Attrib : 4096");
  EXPECT_EQ(log_.Lines()[5], "Imbed File Attrib : 2061");
  EXPECT_EQ(log_.Lines()[7], "Imbed File Attrib : 1037");
}

TEST_F(BundleReaderTest, ANoticeThatCannotBeShownIsReportedAndTheStartGoesOn) {
  notices_.failNext = true;
  EXPECT_EQ(Read(test::BuildOrFail(Filled(100, 4), DeliveredEntries())), 224 + 3000 + 400);
  test::ExpectOnlyBox(dialogs_, "Show and Msg File read error", "File Error", ButtonSet::Ok);
  EXPECT_EQ(Table().Count(), 4u);
}

TEST_F(BundleReaderTest, ExtractedFilesLiveInAPrivateDirectoryUntilTheReaderGoes) {
  Read(test::BuildOrFail(Filled(100, 1), DeliveredEntries()));
  const std::string dir = Table()[0].path.substr(0, Table()[0].path.rfind(kPathSeparator));
  EXPECT_TRUE(OnlyCurrentUserHasAccess(dir));
  EXPECT_EQ(FilesMadeByReaders().size(), 4u);
  reader_.reset();
  EXPECT_TRUE(FilesMadeByReaders().empty());
  EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST_F(BundleReaderTest, KeepNameBitAndEmptyEntries) {
  const std::vector<BundleEntry> entries{{"boot.img", 0x0105, Filled(10, 1)}, {"empty", 0x080D, {}}};
  EXPECT_EQ(Read(test::BuildOrFail(Filled(10, 0), entries)), 10);
  EXPECT_EQ(FileNamePart(Table()[1].path), "boot.img");
  EXPECT_EQ(FileNamePart(Table()[2].path), "empty.tmp");
  EXPECT_EQ(FileSize(Table()[2].path), 0u);
}

TEST_F(BundleReaderTest, SectionListTakesEachLetterOnceInRowOrder) {
  const std::vector<BundleEntry> entries{{"a", 0x0825, {1}}, {"b", 0x080D, {2}}, {"c", 0x0825, {3}}, {"d", 0x08F5, {4}}};
  Read(test::BuildOrFail(Filled(10, 0), entries));
  EXPECT_EQ(reader_->SectionList(), "BX");
  EXPECT_EQ(reader_->CountUpgradeFiles(), 4);
}

TEST_F(BundleReaderTest, APlainProgramIsCopiedWholeAsRowZero) {
  const Bytes plain = Filled(4321, 8);
  EXPECT_EQ(Read(plain), 0);
  ASSERT_EQ(Table().Count(), 1u);
  EXPECT_EQ(Table()[0].attribute, 0);
  EXPECT_EQ(FileNamePart(Table()[0].path), "fwupgrade.tmp");
  EXPECT_EQ(ReadWholeFile(Table()[0].path), plain);
  EXPECT_EQ(reader_->CountUpgradeFiles(), 0);
  EXPECT_TRUE(dialogs_.Messages().empty());
}

TEST_F(BundleReaderTest, AForeignVersionIsRefusedWithoutExtractingAnything) {
  Bytes bytes = test::BuildOrFail(Filled(100, 1), DeliveredEntries());
  bytes[bytes.size() - 14] = 3;
  EXPECT_EQ(Read(bytes), -2);
  test::ExpectOnlyBox(dialogs_, "Please change append tool to version V1.23.", "Version Not support", ButtonSet::Ok);
  EXPECT_TRUE(FilesMadeByReaders().empty());
  EXPECT_TRUE(notices_.offers.empty());
}

TEST_F(BundleReaderTest, AMagicWithoutRoomForAVersionIsAnError) {
  const Bytes bytes{1, 2, 3, 'v', 'a', 'n', 't', 'r', 'e', 'l', 0};
  EXPECT_EQ(Read(bytes), -1);
  test::ExpectOnlyBox(dialogs_, "Error to open file in ReadinputExeFile!!!", "File Error", ButtonSet::YesNoCancel);
  EXPECT_TRUE(FilesMadeByReaders().empty());
}

TEST_F(BundleReaderTest, WithoutItsPrivateDirectoryNothingIsWrittenAnywhere) {
  const std::string plain = WriteInput("plain", Filled(100, 1));
  const std::string bundled = WriteInput("bundled", test::BuildOrFail(Filled(100, 1), DeliveredEntries()));
  const std::string missing = Root() + kPathSeparator + "does-not-exist";
  SetEnvironmentValue(kTempDirVariable, missing);
  const auto before = std::filesystem::current_path();
  const std::string workDir = Root() + "/cwd";
  std::filesystem::create_directory(workDir);
  std::filesystem::current_path(workDir);
  // The user learns where and why, not the name of a copy never made.
  const std::string why = "Can not make a private temporary directory in " + missing + " : No such file or directory";
  for (const std::string& program : {plain, bundled}) {
    BundleReader reader(dialogs_, notices_);
    EXPECT_EQ(reader.ReadinputExeFile(program), -1);
  }
  ASSERT_EQ(dialogs_.Messages().size(), 2u);
  for (const MessageRequest& box : dialogs_.Messages()) {
    EXPECT_EQ(box.text, why);
    EXPECT_EQ(box.caption, "Function Error");
  }
  std::filesystem::current_path(before);
  EXPECT_TRUE(std::filesystem::is_empty(workDir));
}

TEST_F(BundleReaderTest, AMissingProgramFileIsReported) {
  BundleReader reader(dialogs_, notices_);
  EXPECT_EQ(reader.ReadinputExeFile(Root() + "/absent"), -1);
  test::ExpectOnlyBox(dialogs_, "Error to open exeFile : " + Root() + "/absent", "Function Error", ButtonSet::YesNoCancel);
}

TEST_F(BundleReaderTest, UnsafeNamesAreRefusedAndNothingLandsOutsideItsDirectory) {
  for (const std::string bad : {"../../escape", "..", ".", "a\\b", "/etc/x", "NUL.bin", "fw.bin:hidden"}) {
    Bytes bytes = test::BuildOrFail(Filled(20, 1), {{"placeholder", 0x080D, Filled(30, 2)}});
    // Overwrite the stored name: the writer itself would refuse these.
    std::fill_n(bytes.begin() + 20 + 6, 32, 0);
    std::copy(bad.begin(), bad.end(), bytes.begin() + 20 + 6);
    EXPECT_EQ(Read(bytes), -1) << bad;
    ASSERT_FALSE(dialogs_.Messages().empty());
    EXPECT_EQ(dialogs_.Messages().back().text, "Unsafe file name in bundle : " + bad);
    EXPECT_EQ(dialogs_.Messages().back().caption, "File Error");
    EXPECT_TRUE(FilesMadeByReaders().empty()) << bad;
    reader_.reset();
  }
  // Only the inputs sit beside the readers' directories.
  for (const auto& entry : std::filesystem::directory_iterator(Root())) {
    EXPECT_EQ(entry.path().filename(), "fwupgrade");
  }
}

TEST_F(BundleReaderTest, TheProgramCopyNeverTakesAnEntrysName) {
  // "fwupgrade" gets ".tmp" appended, "fwupgrade.1.tmp" keeps its name: both
  // names the program copy would otherwise take.
  const std::vector<BundleEntry> entries{{"fwupgrade", 0x080D, Filled(10, 1)}, {"fwupgrade.1.tmp", 0x0105, Filled(10, 2)}};
  const Bytes executable = Filled(30, 3);
  EXPECT_EQ(Read(test::BuildOrFail(executable, entries)), 20);
  EXPECT_TRUE(dialogs_.Messages().empty());
  ASSERT_EQ(Table().Count(), 3u);
  EXPECT_EQ(FileNamePart(Table()[0].path), "fwupgrade.2.tmp");
  EXPECT_EQ(ReadWholeFile(Table()[0].path), executable);
  EXPECT_EQ(ReadWholeFile(Table()[1].path), entries[0].content);
  EXPECT_EQ(ReadWholeFile(Table()[2].path), entries[1].content);
}

TEST_F(BundleReaderTest, TwoEntriesOfOneNameCannotOverwriteEachOther) {
  const std::vector<BundleEntry> entries{{"fw", 0x080D, Filled(10, 1)}, {"fx", 0x080D, Filled(10, 2)}};
  Bytes bytes = test::BuildOrFail(Filled(10, 0), entries);
  // The writer refuses the clash, so make it by hand: "fx" becomes "fw".
  const std::size_t secondName = 10 + 38 + 10 + 6;
  ASSERT_EQ(bytes[secondName + 1], 'x');
  bytes[secondName + 1] = 'w';
  EXPECT_EQ(Read(bytes), -1);
  test::ExpectOnlyBox(dialogs_, "File create error " + Table()[2].path, "File create error", ButtonSet::OkCancel);
  EXPECT_EQ(ReadWholeFile(Table()[1].path), Filled(10, 1));
  reader_.reset();
  EXPECT_TRUE(FilesMadeByReaders().empty());
}

// A bundle the writer would refuse: 64 entries.
Bytes SixtyFourEntryBundle() {
  Bytes bytes = Filled(16, 0);
  const std::size_t first = bytes.size();
  std::vector<std::uint32_t> offsets;
  for (int k = 0; k < 64; ++k) {
    offsets.push_back(static_cast<std::uint32_t>(bytes.size()));
    Bytes record(38, 0);
    record[0] = 39;
    record[4] = 0x08;
    record[5] = 0x0D;
    const std::string name = "f" + std::to_string(k);
    std::copy(name.begin(), name.end(), record.begin() + 6);
    record.push_back(static_cast<std::uint8_t>(k));
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  const std::uint32_t total = static_cast<std::uint32_t>(bytes.size() + 4 * 64 + 14);
  for (const std::uint32_t offset : offsets) {
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<std::uint8_t>((total - offset) >> (8 * b)));
  }
  const Bytes tail{4, 0, 64, 0, (14 + 4 * 64) & 0xFF, (14 + 4 * 64) >> 8, 'v', 'a', 'n', 't', 'r', 'e', 'l', 0};
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  EXPECT_EQ(bytes.size() - first + 16, total);
  return bytes;
}

TEST_F(BundleReaderTest, TheTableNeverHoldsMoreThanSixtyFourRows) {
  EXPECT_EQ(Read(SixtyFourEntryBundle()), -1);
  test::ExpectOnlyBox(dialogs_, "Max Add File is 64", "Add AppendFile Error", ButtonSet::YesNoCancel);
  EXPECT_LE(Table().Count(), FileTable::kCapacity);
}

}  // namespace
}  // namespace fwu
