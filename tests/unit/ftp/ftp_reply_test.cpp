#include <gtest/gtest.h>

#include "net/ftp_exceptions.h"
#include "net/ftp_reply.h"
#include "platform/bytes.h"
#include "transfer/ftp_form.h"

namespace fwu {
namespace {

std::span<const std::uint8_t> Span(const Bytes& bytes) { return {bytes.data(), bytes.size()}; }

TEST(FtpReplyTest, CodesSizesAndContinuations) {
  EXPECT_EQ(ReplyCode("530 Login incorrect\r\n"), 530);
  EXPECT_EQ(ReplyCode("220-Welcome\r\n"), 220);
  EXPECT_EQ(ReplyCode(" text\r\n"), 0);
  EXPECT_EQ(ReplyCode("12345678901234"), 1234567890) << "ten digits at most";

  EXPECT_TRUE(OpensMultiLineReply("220-first\r\n"));
  EXPECT_FALSE(OpensMultiLineReply("220 only\r\n"));
  EXPECT_FALSE(OpensMultiLineReply(" inner-line\r\n"));
  EXPECT_FALSE(OpensMultiLineReply("22-"));
  // Inner lines of any shape belong to the reply; only "220 " ends it.
  for (const char* inner : {"Authorised use only\r\n", " indented\r\n", "220-more\r\n", "230 other code\r\n",
                            "220\r\n", "\r\n"}) {
    EXPECT_FALSE(EndsMultiLineReply("220-Welcome\r\n", inner)) << inner;
  }
  EXPECT_TRUE(EndsMultiLineReply("220-Welcome\r\n", "220 Ready.\r\n"));

  EXPECT_EQ(AnnouncedSize("150 Opening data connection for 0#512 (512 bytes)\r\n"), 512);
  EXPECT_EQ(AnnouncedSize("150 Opening (77 BYTES)"), 77);
  EXPECT_EQ(AnnouncedSize("150 ok 12 ByTe"), 12);
  EXPECT_EQ(AnnouncedSize("150 Sending bytes: 9 bytes"), 9);
  EXPECT_EQ(AnnouncedSize("150 no size here"), 0);
  EXPECT_EQ(AnnouncedSize("150 (99999999999 bytes)"), 0) << "a size past 32 bits is not believed";

  EXPECT_EQ(PortArgument("192.168.1.10", 0x1234), "192,168,1,10,18,52");
  EXPECT_EQ(PortArgument("router", 21), "");
}

TEST(FtpReplyTest, ReplyRangesEndWhereTheyShould) {
  struct Row {
    std::int64_t code;
    bool failing, refusedLogin, completion;
  };
  for (const Row& row : {Row{199, false, false, false}, Row{200, false, false, true}, Row{299, false, false, true},
                         Row{300, false, false, false}, Row{301, true, false, false}, Row{400, true, false, false},
                         Row{401, true, true, false}, Row{599, true, true, false}, Row{600, false, false, false}}) {
    EXPECT_EQ(IsFailingReply(row.code), row.failing) << row.code;
    EXPECT_EQ(IsRefusedLogin(row.code), row.refusedLogin) << row.code;
    EXPECT_EQ(IsCompletion(row.code), row.completion) << row.code;
  }
}

TEST(FtpReplyTest, ReaderHandsOutWholeLinesAndCapsAnEndlessOne) {
  ReplyLineReader reader;
  const Bytes bytes = ToBytes("220-a\r\n220 b\r\npartial");
  EXPECT_EQ(reader.Feed(Span(bytes)), bytes.size());
  EXPECT_EQ(reader.TakeLine(), "220-a\r\n");
  EXPECT_EQ(reader.TakeLine(), "220 b\r\n");
  EXPECT_EQ(reader.TakeLine(), std::nullopt);
  EXPECT_EQ(reader.TakeRest(), "partial");

  const Bytes endless(ReplyLineReader::kCapacity + 10, 'x');
  EXPECT_EQ(reader.Feed(Span(endless)), ReplyLineReader::kCapacity);
  EXPECT_EQ(reader.Room(), 0u);
  EXPECT_EQ(reader.TakeLine()->size(), ReplyLineReader::kCapacity);
  EXPECT_TRUE(reader.Empty());
}

TEST(FtpReplyTest, EveryTruncationOfAReplyYieldsOnlyWholeLines) {
  const std::string reply = "150-Opening\r\n 2 lines\r\n150 (512 bytes)\r\n";
  for (std::size_t cut = 0; cut <= reply.size(); ++cut) {
    ReplyLineReader reader;
    const Bytes part = ToBytes(reply.substr(0, cut));
    reader.Feed(Span(part));
    std::string joined;
    while (auto line = reader.TakeLine()) {
      EXPECT_TRUE(line->ends_with("\n")) << cut;
      joined += *line;
    }
    EXPECT_EQ(joined + reader.TakeRest(), reply.substr(0, cut));
  }
}

TEST(FtpReplyTest, SocketErrorTextsAndRemoteNames) {
  EXPECT_EQ(FtpSocketErrorText(10061), "10061:Connection refused");
  EXPECT_EQ(FtpSocketErrorText(10101), "Unknown Error No. 10101");
  EXPECT_EQ(FtpSocketErrorText(0), "Unrecognized error code");

  EXPECT_EQ(RemoteUploadName("/tmp/x/Kavlor_A.bin.tmp"), "Kavlor_A.bin");
  EXPECT_EQ(RemoteUploadName("/tmp/x/IMAGE.TMP"), "IMAGE.TMP") << "only the lower-case suffix goes";
  EXPECT_EQ(RemoteUploadName("C:\\temp\\fw.bin.tmp"), "fw.bin");
  EXPECT_EQ(RemoteUploadName("plain"), "plain");
}

}  // namespace
}  // namespace fwu
