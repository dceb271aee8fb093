#include <gtest/gtest.h>

#include <string>

#include "transfer/upgrade_verdict.h"

namespace fwu {
namespace {

struct Row {
  const char* reply;
  int result;
  const char* logLine;
  const char* resultText;
  const char* status;  // nullptr: the status line stays as it was
};

TEST(UpgradeVerdict, EveryRowOfTheReplyTable) {
  const Row rows[] = {
      {"HTTP/1.0 200 OK\r\n\r\n--CAS:8000", 1, "Upgrade success in New version", "Upgrade Successfully",
       "Upgrade Success"},
      {"HTTP/1.0 200 OK\r\n\r\n--CAS 8001", -1, "Upgrade failure in New version", "Upgrade failure",
       "Upgrade failure"},
      {"--CAS=8002", -1, "Unallowable upgrade file", "Unallowable upgrade file", "Unallowable upgrade file"},
      {"HTTP/1.0 404 x\r\n--CAS:9999 and alert(\"x\")", -1, "unknow error code : 9999", "unknow error code 9999",
       "Upgrade failure"},
      {"HTTP/1.0 200 OK\r\n\r\n<script>alert(\"Wrong file\")</script>", -1, "Upgrade failure with no CAS tag",
       "Wrong file", "Upgrade Failure"},
      {"HTTP/1.0 200 OK\r\n\r\n<p>done</p>", 1, "Upgrade Complete in with no CAS tag", "Upgrade Successfully",
       "Upgrade Success"},
      {"HTTP/1.0 301 Moved\r\n\r\n", -1, "Unexpect remove port request", "Unexpect receive data", nullptr},
      {"HTTP/1.0 400 Bad\r\n\r\n", -1, "Unexpect Bad request", "Unexpect receive data", nullptr},
      {"HTTP/1.0 404 Not Found\r\n\r\n", -1, "Unexpect NO CGI Found", "Unexpect receive data", nullptr},
      {"HTTP/1.0 501 Not Implemented\r\n\r\n", -1, "Unexpect NOT support HTTP Upgrade", "Unexpect receive data",
       nullptr},
      {"HTTP/1.0 503 Busy\r\n\r\n", -1, "Unexpect upgrade Not Complete error", "Unexpect receive data", nullptr},
      {"HTTP/1.0 302 Found\r\n\r\n", -1, "Unknow Error in check upgrade result", "Unexpect receive data", nullptr},
      // The status tests run in order over the whole text, body included.
      {"HTTP/1.0 404 Not Found\r\n\r\nsee 301 elsewhere", -1, "Unexpect remove port request",
       "Unexpect receive data", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reply);
    const UpgradeVerdict verdict = JudgeUpgradeReply(row.reply);
    EXPECT_EQ(verdict.result, row.result);
    EXPECT_EQ(verdict.logLine, row.logLine);
    EXPECT_EQ(verdict.resultText, row.resultText);
    if (row.status == nullptr) {
      EXPECT_FALSE(verdict.status.has_value());
    } else {
      EXPECT_EQ(verdict.status.value_or("<none>"), row.status);
    }
  }
}

TEST(UpgradeVerdict, AlertMessagesAreCutAtTheQuoteOrAfter23Characters) {
  EXPECT_EQ(AlertMessage("alert(\"Wrong file\");"), "Wrong file");
  EXPECT_EQ(AlertMessage("x alert(\"123456789012345678901234567890\")"), "12345678901234567890123");
  EXPECT_EQ(AlertMessage("alert(\"\")"), "");
  EXPECT_EQ(AlertMessage("alert(\"unterminated"), "unterminated");
  EXPECT_EQ(AlertMessage("alert("), "");
  EXPECT_EQ(AlertMessage("no script here"), "");
}

TEST(UpgradeVerdict, RouterTextIsShownWithoutControlCharacters) {
  const UpgradeVerdict code = JudgeUpgradeReply("HTTP/1.0 200 OK\r\n\r\n--CAS:\x1b[2J");
  EXPECT_EQ(code.logLine, "unknow error code : ?[2J");
  EXPECT_EQ(code.resultText, "unknow error code ?[2J");
  EXPECT_EQ(AlertMessage("alert(\"bad\r\nfile\x7f\")"), "bad??file?");
}

TEST(UpgradeVerdict, ATagWithoutAFullCodeIsAnUnknownCode) {
  const UpgradeVerdict verdict = JudgeUpgradeReply("HTTP/1.0 200 OK\r\n\r\n--CAS:80");
  EXPECT_EQ(verdict.result, -1);
  EXPECT_EQ(verdict.resultText, "unknow error code 80");
}

}  // namespace
}  // namespace fwu
