#include "notice/notice_decision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notice/message_file.h"
#include "ui/controls.h"

namespace fwu {
namespace {

MessageFile Notice(std::uint8_t noTftp, std::uint8_t noFtp, std::string name = "note") {
  MessageFile notice;
  notice.messageName = std::move(name);
  notice.noTftpFlag = noTftp;
  notice.noFtpFlag = noFtp;
  return notice;
}

struct Row {
  const char* label;
  NoticeContext context;
  std::uint8_t noTftp, noFtp;
  std::uint16_t attribute;
  const char* romId;
  bool shown;
  const char* refusal;  // the first log line's text before the path; none when nullptr
};

constexpr const char* kPath = "/tmp/fwu/R12notice.tmp";
constexpr const char* kFtpMode = "Unknow Message File in FTP Mode >>";
constexpr const char* kTftpMode = "Unknow Message File in TFTP Mode >>";
constexpr const char* kNameDiffers = "Message name different. Ignore Message File >>";

// Every row of the decision table, for both transfer contexts where they
// share a row.
const std::vector<Row> kRows = {
    {"menu, both flags, b1", NoticeContext::Menu, 1, 1, 0x040D, "", true, nullptr},
    {"menu, both flags, b1 and b2", NoticeContext::Menu, 1, 1, 0x0403, "", true, nullptr},
    {"menu, both flags, neither bit", NoticeContext::Menu, 1, 1, 0x040C, "", false, nullptr},
    {"menu, TFTP flag clear", NoticeContext::Menu, 0, 1, 0x040D, "", false, nullptr},
    {"menu, FTP flag clear", NoticeContext::Menu, 1, 0, 0x040D, "", false, nullptr},
    {"FTP, FTP flag set", NoticeContext::Transfer, 0, 1, 0x040D, "", false, kFtpMode},
    {"FTP, b1", NoticeContext::Transfer, 1, 0, 0x0401, "XYZ", true, nullptr},
    {"FTP, b2, name matches in any case", NoticeContext::Transfer, 1, 0, 0x0402, "r1", true, nullptr},
    {"FTP, b2, empty ROM ID", NoticeContext::Transfer, 0, 0, 0x0402, "", true, nullptr},
    {"FTP, b2, name differs", NoticeContext::Transfer, 0, 0, 0x0402, "R13", false, kNameDiffers},
    {"FTP, neither bit", NoticeContext::Transfer, 0, 0, 0x040C, "", false, nullptr},
    {"TFTP, TFTP flag set", NoticeContext::Tftp, 1, 0, 0x040D, "", false, kTftpMode},
    {"TFTP, b1", NoticeContext::Tftp, 0, 1, 0x0401, "XYZ", true, nullptr},
    {"TFTP, b2, name matches", NoticeContext::Tftp, 0, 0, 0x0402, "R12N", true, nullptr},
    {"TFTP, b2, name differs", NoticeContext::Tftp, 0, 0, 0x0402, "R2", false, kNameDiffers},
    {"TFTP, neither bit", NoticeContext::Tftp, 0, 0, 0x0400, "", false, nullptr},
};

TEST(ProcessMessageAttribute, EveryRowOfTheTableShowsOrLogsAsItSays) {
  for (const Row& row : kRows) {
    MemoModel log;
    const bool menu = row.context == NoticeContext::Menu;
    const bool shown = ProcessMessageAttribute(Notice(row.noTftp, row.noFtp), &log, row.attribute, row.context,
                                               row.romId, menu ? "" : kPath);
    EXPECT_EQ(shown, row.shown) << row.label;
    if (row.refusal == nullptr) {
      EXPECT_TRUE(log.Lines().empty()) << row.label;
      continue;
    }
    const std::vector<std::string> expected = {std::string(row.refusal) + kPath,
                                               "Message Attribute > " + std::to_string(row.attribute)};
    EXPECT_EQ(log.Lines(), expected) << row.label;
  }
}

TEST(ProcessMessageAttribute, TheProgramsOwnNoticeShowsAtStartAndIsLoggedInTransfers) {
  const MessageFile own = Notice(1, 1, "QUORnotice");
  EXPECT_TRUE(ProcessMessageAttribute(own, nullptr, 0x040D, NoticeContext::Menu, "", ""));
  for (const auto& [context, text] : {std::pair{NoticeContext::Transfer, kFtpMode}, {NoticeContext::Tftp, kTftpMode}}) {
    MemoModel log;
    EXPECT_FALSE(ProcessMessageAttribute(own, &log, 0x040D, context, "R12", kPath));
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{text + std::string(kPath), "Message Attribute > 1037"}));
    // Without a log the same decision is taken silently.
    EXPECT_FALSE(ProcessMessageAttribute(own, nullptr, 0x040D, context, "R12", kPath));
  }
}

TEST(ProcessMessageAttribute, AMenuNameCheckWantsTheMakerCodeAndMoreInExactCase) {
  EXPECT_EQ(MakerCode, "QUOR");
  const auto shown = [](const std::string& name) {
    return ProcessMessageAttribute(Notice(1, 1, name), nullptr, 0x0402, NoticeContext::Menu, "", "");
  };
  EXPECT_TRUE(shown("QUORa"));
  EXPECT_TRUE(shown("QUOR QUOR"));
  EXPECT_FALSE(shown("QUOR")) << "equal to the code is not longer than it";
  EXPECT_FALSE(shown("quorA"));
  EXPECT_FALSE(shown("QuorA"));
  EXPECT_FALSE(shown("AQUOR"));
  EXPECT_FALSE(shown("QUO"));
  EXPECT_FALSE(shown(""));
}

TEST(ProcessMessageAttribute, TheTransferNameCheckReadsTheFileNameNotTheFoldersOrMessageName) {
  const MessageFile notice = Notice(0, 0, "R12");
  EXPECT_FALSE(ProcessMessageAttribute(notice, nullptr, 0x0402, NoticeContext::Transfer, "R12", "/tmp/R12/other"));
  EXPECT_TRUE(ProcessMessageAttribute(notice, nullptr, 0x0402, NoticeContext::Transfer, "R12", "r12"));
}

TEST(ProcessMessageAttribute, TheAttributeWordIsLoggedAsASignedNumber) {
  MemoModel log;
  EXPECT_FALSE(ProcessMessageAttribute(Notice(0, 1), &log, 0x840D, NoticeContext::Transfer, "", kPath));
  EXPECT_EQ(log.Lines().back(), "Message Attribute > -31731");
}

}  // namespace
}  // namespace fwu
