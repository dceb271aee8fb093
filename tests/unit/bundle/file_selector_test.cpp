#include <gtest/gtest.h>

#include "bundle/bundle_reader.h"
#include "bundle/file_selector.h"
#include "bundle_test_support.h"

namespace fwu {
namespace {

using test::Filled;

struct NamedProfile {
  const char* name;
  const TransferProfile& profile;
};
const NamedProfile kProfiles[] = {{"HTTP", kHttpProfile}, {"FTP", kFtpProfile}, {"TFTP", kTftpProfile}};

class FileSelectorTest : public test::IsolatedTempTest {
 protected:
  FileSelector Selector(const TransferProfile& profile, const std::string& romId = "romx") {
    return FileSelector(profile, files_, SelectionTarget{romId, 7}, log_, notices_, dialogs_);
  }
  // Row 0 is always the program's own copy, as the reader leaves it.
  void SetRows(const std::vector<FileRow>& rows) {
    files_.Clear();
    files_.Add(FileRow{"/tmp/x/fwupgrade.tmp", 0, 0});
    for (const FileRow& row : rows) files_.Add(row);
  }
  bool Logged(const std::string& line) const {
    return std::find(log_.Lines().begin(), log_.Lines().end(), line) != log_.Lines().end();
  }

  FileTable files_;
};

// One row of the selection table, for one check byte and one method.
struct RuleCase {
  const char* label;
  std::uint8_t checkByte;
  bool moduleFilePutBefore;
  std::string fileName;
  // Per method (HTTP, FTP, TFTP): put, and the line that explains it.
  std::array<bool, 3> put;
  std::array<const char*, 3> line;
  std::array<bool, 3> moduleFilePutAfter;
};

constexpr const char* kNormalOff = "Ignore Upgrade File for Normal check disable >>";
constexpr const char* kTftpOff = "Ignore Upgrade File for TFTP check disable >>";
constexpr const char* kUnknown = "Unkown Attribute. Ignore Upgrade File >>";
constexpr const char* kDefaultIgnored = "Default Upgrade File Ignore >>";
constexpr const char* kDefaultPut = "Put Default Upgrade File >>";
constexpr const char* kNoId = "Put Upgrade File without IDCheck >>";
constexpr const char* kMatched = "Put Upgrade File >>";
constexpr const char* kDiffers = "Module name different. Ignore Upgrade File >>";

const RuleCase kRuleCases[] = {
    {"1 no-ID file without the HTTP/FTP bit", 0x09, false, "ROMX_a.bin",
     {false, false, true}, {kNormalOff, kNormalOff, kNoId}, {false, false, false}},
    {"1 no-ID file without the TFTP bit", 0x05, false, "ROMX_a.bin",
     {true, true, false}, {kNoId, kNoId, kTftpOff}, {false, false, false}},
    {"1/7 neither ID bit nor the enable bit", 0x08, false, "ROMX_a.bin",
     {false, false, false}, {kUnknown, kNormalOff, kUnknown}, {false, false, false}},
    {"1/7 neither ID bit, TFTP side", 0x04, false, "ROMX_a.bin",
     {false, false, false}, {kUnknown, kUnknown, kTftpOff}, {false, false, false}},
    {"2 default file after a matched file", 0x0F, true, "any.bin",
     {false, false, false}, {kDefaultIgnored, kDefaultIgnored, kDefaultIgnored}, {false, false, false}},
    {"3 default file", 0x0F, false, "any.bin",
     {true, true, true}, {kDefaultPut, kDefaultPut, kDefaultPut}, {false, false, false}},
    {"4 no ID check", 0x0D, true, "any.bin",
     {true, true, true}, {kNoId, kNoId, kNoId}, {true, true, true}},
    {"5 ID check, name matches in another case", 0x0E, false, "RomX-Router.bin",
     {true, true, true}, {kMatched, kMatched, kMatched}, {true, true, true}},
    {"5/1 ID check for HTTP and FTP only", 0x06, false, "romx.bin",
     {true, true, false}, {kMatched, kMatched, kTftpOff}, {true, true, false}},
    {"6 ID check, name differs", 0x0E, false, "ROMY.bin",
     {false, false, false}, {kDiffers, kDiffers, kDiffers}, {false, false, false}},
    {"6 ID check, name shorter than the ID", 0x0E, false, "ROM",
     {false, false, false}, {kDiffers, kDiffers, kDiffers}, {false, false, false}},
    {"6 ID check, the ID inside the name", 0x0E, false, "OLD_ROMX.bin",
     {false, false, false}, {kDiffers, kDiffers, kDiffers}, {false, false, false}},
    {"7 enabled but no ID bit", 0x0C, false, "ROMX.bin",
     {false, false, false}, {kUnknown, kUnknown, kUnknown}, {false, false, false}},
};

TEST_F(FileSelectorTest, EveryRowOfTheSelectionTableForEveryMethod) {
  for (const RuleCase& rule : kRuleCases) {
    for (std::size_t m = 0; m < 3; ++m) {
      const std::string path = "/tmp/x/" + rule.fileName;
      SetRows({{path, static_cast<std::uint16_t>(0x0800 | rule.checkByte), 1}});
      log_.Clear();
      SelectionRun run;
      run.moduleFilePut = rule.moduleFilePutBefore;
      run.putCount = 1;  // as if an earlier file of this run was put
      const int result = Selector(kProfiles[m].profile).SelectNextFile(1, run);
      const std::string label = std::string(rule.label) + " / " + kProfiles[m].name;
      EXPECT_EQ(result, rule.put[m] ? 1 : SelectionResult::kNoMoreFiles) << label;
      EXPECT_EQ(log_.Lines().back(), rule.line[m] + path) << label;
      EXPECT_EQ(run.moduleFilePut, rule.moduleFilePutAfter[m]) << label;
      EXPECT_EQ(run.putCount, rule.put[m] ? 2 : 1) << label;
    }
  }
}

TEST_F(FileSelectorTest, TheDeliveredBundleLogsExactlyTheseLines) {
  const std::string program = WriteInput("fwupgrade", test::BuildOrFail(Filled(200, 1), test::DeliveredEntries()));
  BundleReader reader(dialogs_, notices_);
  ASSERT_GT(reader.ReadinputExeFile(program), 0);
  reader.CopyFileTable(files_);
  const std::string firmware = files_[2].path;
  const std::string notice = files_[3].path;

  for (const NamedProfile& named : kProfiles) {
    const bool numbered = &named.profile != &kTftpProfile;
    log_.Clear();
    notices_.offers.clear();
    FileSelector selector = Selector(named.profile, "");
    SelectionRun run;
    ASSERT_EQ(selector.SelectNextFile(0, run), 2) << named.name;
    std::vector<std::string> expected;
    if (numbered) expected = {"File Count : 4", "i= 0"};
    expected.push_back("File Attribute : 0");
    if (numbered) expected.push_back("i= 1");
    expected.insert(expected.end(), {"File Attribute : 4096", "Unknow File Attribute -> 4096"});
    if (numbered) expected.push_back("i= 2");
    expected.insert(expected.end(), {"File Attribute : 2061", "Put Upgrade File without IDCheck >>" + firmware});
    EXPECT_EQ(log_.Lines(), expected) << named.name;
    EXPECT_TRUE(notices_.offers.empty());

    log_.Clear();
    EXPECT_EQ(selector.SelectNextFile(3, run), SelectionResult::kNoMoreFiles) << named.name;
    expected.clear();
    if (numbered) expected = {"File Count : 4", "i= 3"};
    expected.insert(expected.end(), {"File Attribute : 1037", "Show Message to User : " + notice});
    EXPECT_EQ(log_.Lines(), expected) << named.name;

    ASSERT_EQ(notices_.offers.size(), 1u) << named.name;
    const NoticeOffer& offer = notices_.offers[0];
    EXPECT_EQ(offer.context, numbered ? NoticeContext::Transfer : NoticeContext::Tftp);
    EXPECT_EQ(offer.content, test::DeliveredEntries()[2].content);
    EXPECT_EQ(offer.attribute, 0x040D);
    EXPECT_EQ(offer.log, &log_);
    EXPECT_EQ(offer.selectedType, 7);
    EXPECT_EQ(offer.path, notice);
    EXPECT_TRUE(run.errorText.empty());
  }
}

TEST_F(FileSelectorTest, AMatchedFileSkipsOnlyTheNextDefaultFile) {
  SetRows({{"/d/ROMX_main", 0x080E, 1}, {"/d/default1", 0x080F, 1}, {"/d/default2", 0x080F, 1}});
  FileSelector selector = Selector(kFtpProfile);
  SelectionRun run;
  EXPECT_EQ(selector.SelectNextFile(0, run), 1);
  EXPECT_TRUE(run.moduleFilePut);
  EXPECT_EQ(selector.SelectNextFile(2, run), 3);
  EXPECT_TRUE(Logged("Default Upgrade File Ignore >>/d/default1"));
  EXPECT_TRUE(Logged("Put Default Upgrade File >>/d/default2"));
  EXPECT_FALSE(run.moduleFilePut);
  EXPECT_EQ(selector.SelectNextFile(4, run), SelectionResult::kNoMoreFiles);

  // Without a matched file before it, the first default file is put.
  SelectionRun fresh;
  EXPECT_EQ(Selector(kFtpProfile, "other").SelectNextFile(0, fresh), 2);
}

TEST_F(FileSelectorTest, EachSectionLetterIsRecordedOnce) {
  SetRows({{"/d/a", 0x082D, 1}, {"/d/b", 0x082D, 1}, {"/d/c", 0x080D, 1}, {"/d/d", 0x08FD, 1}});
  FileSelector selector = Selector(kHttpProfile);
  SelectionRun run;
  for (int row = selector.SelectNextFile(0, run); SelectionResult::IsRow(row); row = selector.SelectNextFile(row + 1, run)) {
  }
  EXPECT_EQ(run.upgradeSection, "BX");
  EXPECT_EQ(run.putCount, 4);
}

TEST_F(FileSelectorTest, NothingToSendEndsTheRunWithAnError) {
  for (const NamedProfile& named : kProfiles) {
    SetRows({{"/d/control.cfg.tmp", 0x1000, 1}});
    SelectionRun run;
    EXPECT_EQ(Selector(named.profile).SelectNextFile(0, run), SelectionResult::kNothingToSend) << named.name;
    EXPECT_EQ(run.errorText, &named.profile == &kTftpProfile ? "" : "ignore all files error") << named.name;
  }
}

TEST_F(FileSelectorTest, TftpEndsWellOnlyAfterPuttingAFile) {
  SetRows({{"/d/http_only", 0x0805, 1}});
  FileSelector selector = Selector(kTftpProfile);
  SelectionRun run;
  EXPECT_EQ(selector.SelectNextFile(1, run), SelectionResult::kNothingToSend);
  run.putCount = 1;
  EXPECT_EQ(selector.SelectNextFile(1, run), SelectionResult::kNoMoreFiles);
  EXPECT_EQ(selector.SelectNextFile(0, run), SelectionResult::kNothingToSend);
}

TEST_F(FileSelectorTest, TheLookAheadAnswersLikeTheNextScanAndChangesNothing) {
  const std::string notice = WriteInput("note", Filled(130, 4));
  SetRows({{"/d/ROMX_1", 0x080E, 1}, {notice, 0x040D, 1}, {"/d/default", 0x082F, 1}, {"/d/other", 0x081D, 1}});
  FileSelector selector = Selector(kHttpProfile);
  SelectionRun run;
  ASSERT_EQ(selector.SelectNextFile(0, run), 1);
  const SelectionRun before = run;

  for (int start = 2; start <= 5; ++start) {
    const std::size_t linesBefore = log_.Lines().size();
    const std::size_t offersBefore = notices_.offers.size();
    const int peeked = selector.PeekNextFile(start, run);
    EXPECT_EQ(log_.Lines().size(), linesBefore) << start;
    EXPECT_EQ(notices_.offers.size(), offersBefore) << start;
    EXPECT_EQ(run.moduleFilePut, before.moduleFilePut);
    EXPECT_EQ(run.upgradeSection, before.upgradeSection);
    EXPECT_EQ(run.putCount, before.putCount);
    SelectionRun copy = run;
    EXPECT_EQ(selector.SelectNextFile(start, copy), peeked) << start;
  }
  // Only the reported scans offered the notice: from rows 2 (not 3, 4, 5).
  EXPECT_EQ(notices_.offers.size(), 1u);
  // From row 2 the message is passed silently, the default file skipped
  // (only in the look-ahead's own copy), and the next file found.
  EXPECT_EQ(selector.PeekNextFile(2, run), 4);
  EXPECT_EQ(selector.PeekNextFile(5, run), SelectionResult::kNoMoreFiles);
}

TEST_F(FileSelectorTest, AMissingMessageFileEndsTheScan) {
  const std::string missing = Root() + "/gone.msg";
  for (const NamedProfile& named : kProfiles) {
    SetRows({{missing, 0x040D, 1}, {"/d/fw", 0x080D, 1}});
    log_.Clear();
    SelectionRun run;
    EXPECT_EQ(Selector(named.profile).SelectNextFile(0, run), SelectionResult::kMessageFileError) << named.name;
    EXPECT_EQ(log_.Lines().back(), "Message file onen error : " + missing);
    EXPECT_EQ(run.errorText, &named.profile == &kHttpProfile ? "Message file onen error : " + missing : "");
  }
}

TEST_F(FileSelectorTest, ANoticeThatFailsIsReportedAndTheScanGoesOn) {
  const std::string notice = WriteInput("note", Filled(130, 4));
  SetRows({{notice, 0x040D, 1}, {"/d/fw", 0x080D, 1}});
  notices_.failNext = true;
  SelectionRun run;
  EXPECT_EQ(Selector(kTftpProfile).SelectNextFile(0, run), 2);
  test::ExpectOnlyBox(dialogs_, "Show and Msg File read error", "File Error", ButtonSet::Ok);
}

}  // namespace
}  // namespace fwu
