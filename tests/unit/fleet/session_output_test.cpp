#include "fleet/session_output.h"

#include <gtest/gtest.h>

#include "fleet/event_log.h"

namespace fwu {
namespace {

TEST(SessionOutput, SplitsTheConsoleStreamsWhereverTheyAreCut) {
  std::vector<SessionLine> lines;
  SessionOutput output([&](const SessionLine& line) { lines.push_back(line); });
  output.FeedOutput("Unsing HTTP up");
  output.FeedError("status: Connecting\n\r[####      ] 1");
  output.FeedOutput("grade mode to : 10.0.0.1\r\n");  // as a Windows program ends its lines
  output.FeedError("0%\r[########  ] 20%\nmessage: HTTP Upgrade Failure: stalled\npartial");
  output.Flush();
  using K = SessionLine::Kind;
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].kind, K::Status);
  EXPECT_EQ(lines[0].text, "Connecting");
  EXPECT_EQ(lines[1].kind, K::Log);
  EXPECT_EQ(lines[1].text, "Unsing HTTP upgrade mode to : 10.0.0.1");
  EXPECT_EQ(lines[2].percent, 10);
  EXPECT_EQ(lines[3].percent, 20);
  EXPECT_EQ(lines[4].kind, K::Message);
  EXPECT_EQ(lines[4].text, "HTTP Upgrade Failure: stalled");
  EXPECT_EQ(lines[5].text, "partial");
}

TEST(SessionOutput, MethodFromTheLog) {
  FleetMethod method = FleetMethod::None;
  for (const char* line : {"Unsing FTP upgrade mode to : 10.0.0.1", "Unsing FTP upgrade mode fail : 10.0.0.1",
                           "Unsing HTTP upgrade mode to : 10.0.0.1"}) {
    method = MethodFromLogLine(line, method);
  }
  EXPECT_EQ(method, FleetMethod::HttpAfterFtp);
  EXPECT_EQ(MethodFromLogLine("Unsing TFTP upgrade mode to : 10.0.0.1", FleetMethod::None), FleetMethod::Tftp);
}

TEST(SessionOutput, TftpProgressFromTheBlocksLogged) {
  TftpLogProgress progress;
  EXPECT_EQ(progress.Read("Sent 3 .."), std::nullopt) << "no whole before the segment count";
  EXPECT_EQ(progress.Read("Segment: 585"), std::nullopt);  // 586 blocks with the partial last one
  EXPECT_EQ(progress.Read("Sent 0 .."), 0);
  EXPECT_EQ(progress.Read("Sent 293 .."), 50);
  EXPECT_EQ(progress.Read("Sent 585 .."), 99);
  EXPECT_EQ(progress.Read("Sent 586 .."), 100);
  EXPECT_EQ(progress.Read("Sent 9000 .."), 100) << "never above 100";
  EXPECT_EQ(progress.Read("Sent x .."), std::nullopt);
  EXPECT_EQ(progress.Read("Recv : 12"), std::nullopt);
}

TEST(EventLog, StringsStayValidJson) {
  EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\u000a\\u0001\"");
  EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
  EXPECT_EQ(JsonString("bad\xFF!"), "\"bad\xEF\xBF\xBD!\"") << "a router's stray byte";
  EXPECT_EQ(JsonObject().Add("n", 2).Add("x", static_cast<const char*>(nullptr)).Text(), "{\"n\": 2, \"x\": null}");
}

}  // namespace
}  // namespace fwu
