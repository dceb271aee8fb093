#include <gtest/gtest.h>

#include "notice/message_file.h"
#include "platform/little_endian.h"

namespace fwu {
namespace {

MessageFile ShippedNotice() {
  MessageFile file;
  file.messageName = "QUORnotice";
  file.messageCaption = "MESSAGE";
  file.displayTime = 100;
  file.noTftpFlag = 1;
  file.noFtpFlag = 1;
  file.backColor = 0x80000005;
  file.noBlink = 1;
  file.rtf = "{\\rtf1\\ansi Upgrade notes}";
  return file;
}

TEST(MessageFile, HeaderFieldsSitAtTheirOffsets) {
  MessageFile file = ShippedNotice();
  file.reserved[0] = 0xAA;
  file.reserved[33] = 0xBB;
  const Bytes bytes = file.Serialize();
  ASSERT_EQ(bytes.size(), 125 + file.rtf.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 10), "QUORnotice");
  EXPECT_EQ(bytes[10], 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 16), 7), "MESSAGE");
  EXPECT_EQ(LoadLe16(bytes.data() + 80), 100);
  EXPECT_EQ(bytes[82], 1);
  EXPECT_EQ(bytes[83], 1);
  EXPECT_EQ(bytes[84], 0xAA);
  EXPECT_EQ(bytes[117], 0xBB);
  EXPECT_EQ(LoadLe16(bytes.data() + 118), file.rtf.size());
  EXPECT_EQ(LoadLe32(bytes.data() + 120), 0x80000005u);
  EXPECT_EQ(bytes[124], 1);
  EXPECT_EQ(std::string(bytes.begin() + 125, bytes.end()), file.rtf);
}

TEST(MessageFile, RoundTripsEveryField) {
  MessageFile file = ShippedNotice();
  file.messageName = std::string(16, 'N');  // a full field has no terminator
  file.messageCaption = std::string(64, 'C');
  file.reserved[5] = 7;
  const auto parsed = MessageFile::Parse(file.Serialize());
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->messageName, file.messageName);
  EXPECT_EQ(parsed->messageCaption, file.messageCaption);
  EXPECT_EQ(parsed->displayTime, 100);
  EXPECT_EQ(parsed->EffectiveDisplayTime(), 80);
  EXPECT_EQ(parsed->noTftpFlag, 1);
  EXPECT_EQ(parsed->noFtpFlag, 1);
  EXPECT_EQ(parsed->reserved, file.reserved);
  EXPECT_EQ(parsed->backColor, 0x80000005u);
  EXPECT_EQ(parsed->noBlink, 1);
  EXPECT_EQ(parsed->rtf, file.rtf);
  EXPECT_FALSE(parsed->rtfClipped);
}

TEST(MessageFile, EveryTruncationIsRefusedOrClippedNeverOverread) {
  const Bytes full = ShippedNotice().Serialize();
  for (std::size_t keep = 0; keep < full.size(); ++keep) {
    // A buffer of exactly the kept size, so that the sanitizer sees any overread.
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(keep));
    const auto parsed = MessageFile::Parse(cut);
    if (keep < MessageFile::kHeaderSize) {
      EXPECT_FALSE(parsed.has_value()) << keep;
      continue;
    }
    ASSERT_TRUE(parsed.has_value()) << keep;
    EXPECT_TRUE(parsed->rtfClipped) << keep;
    EXPECT_EQ(parsed->rtf, ShippedNotice().rtf.substr(0, keep - MessageFile::kHeaderSize)) << keep;
  }
}

TEST(MessageFile, BytesBeyondTheDeclaredLengthAreNotPartOfTheDocument) {
  Bytes bytes = ShippedNotice().Serialize();
  bytes.insert(bytes.end(), {'x', 'y'});
  EXPECT_EQ(MessageFile::Parse(bytes)->rtf, ShippedNotice().rtf);
}

TEST(MessageFile, FieldsTooLongForTheFormatAreNamed) {
  EXPECT_EQ(ShippedNotice().Problem(), "");
  MessageFile file = ShippedNotice();
  file.messageName = std::string(17, 'n');
  EXPECT_NE(file.Problem(), "");
  file = ShippedNotice();
  file.messageCaption = std::string(65, 'c');
  EXPECT_NE(file.Problem(), "");
  file = ShippedNotice();
  file.rtf = std::string(65536, 'r');
  EXPECT_NE(file.Problem(), "");
  file.rtf.pop_back();
  EXPECT_EQ(file.Problem(), "");
}

}  // namespace
}  // namespace fwu
