#include "web_responder.h"

#include <gtest/gtest.h>

#include <cctype>

#include "platform/files.h"
#include "platform/temp_dir.h"

namespace fwu {
namespace {

HttpRequestHead Get(const std::string& requestHead) {
  const HeadParse parse = ParseRequestHead(requestHead);
  EXPECT_EQ(parse.status, HeadStatus::Complete) << requestHead;
  return parse.head;
}

HttpRequestHead Login(const std::string& password, bool secondTry = false) {
  return Get("GET /cgi-bin/logi?rc=@&PSW=" + password + "&rd=menu HTTP/1.1\r\n" +
             (secondTry ? "rd=begin\r\n" : "") + "Connection: Keep-Alive\r\n\r\n");
}

const HttpRequestHead kIndex = Get("GET / HTTP/1.1\r\nConnection: Keep-Alive\r\n\r\n");

// The upgrader's redirect rule: the text after the first ':' that is
// directly followed by a digit 1 to 8, up to the first CR.
std::string RedirectPortText(const std::string& answer) {
  for (std::size_t i = 0; i + 1 < answer.size(); ++i) {
    if (answer[i] == ':' && answer[i + 1] >= '1' && answer[i + 1] <= '8') {
      return answer.substr(i + 1, answer.find('\r', i) - i - 1);
    }
  }
  return {};
}

TEST(WebResponder, NewGenerationIndexTellsWhetherTheLastPasswordWasRight) {
  WebSettings settings;
  settings.password = "admin";
  WebResponder responder(settings);
  EXPECT_NE(responder.AnswerGet(kIndex, 80, "192.168.0.1").find("--CAS:0003"), std::string::npos)
      << "no login yet counts as refused";
  const std::string login = responder.AnswerGet(Login("admin"), 80, "192.168.0.1");
  EXPECT_NE(login.find(" 200 OK"), std::string::npos);
  EXPECT_NE(responder.AnswerGet(kIndex, 80, "192.168.0.1").find("--CAS:8003"), std::string::npos);
  responder.AnswerGet(Login("wrong"), 80, "192.168.0.1");
  EXPECT_NE(responder.AnswerGet(kIndex, 80, "192.168.0.1").find("--CAS:0003"), std::string::npos);
}

TEST(WebResponder, OldGenerationAlertsAfterAWrongPasswordAndHasNoCasTag) {
  WebSettings settings;
  settings.generation = WebSettings::Generation::Old;
  settings.password = "pw";
  WebResponder responder(settings);
  EXPECT_NE(responder.AnswerGet(Login("bad"), 80, "10.0.0.1").find("alert(\""), std::string::npos);
  const std::string right = responder.AnswerGet(Login("pw"), 80, "10.0.0.1");
  EXPECT_EQ(right.find("alert"), std::string::npos);
  EXPECT_NE(right.find(" 200 OK"), std::string::npos);
  EXPECT_EQ(responder.AnswerGet(kIndex, 80, "10.0.0.1").find("--CAS"), std::string::npos);
}

TEST(WebResponder, NotFoundOnceAnswersTheFirstPlainLoginOnly) {
  WebSettings settings;
  settings.loginAnswer = "404-once";
  WebResponder responder(settings);
  EXPECT_NE(responder.AnswerGet(Login(""), 80, "a").find(" 404 "), std::string::npos);
  EXPECT_NE(responder.AnswerGet(Login("", true), 80, "a").find(" 200 OK"), std::string::npos);
  EXPECT_NE(responder.AnswerGet(Login(""), 80, "a").find(" 200 OK"), std::string::npos);
  EXPECT_NE(responder.AnswerGet(kIndex, 80, "a").find("--CAS:8003"), std::string::npos);
}

TEST(WebResponder, RedirectMovesOnlyTheLoginOnTheFirstPortAndNamesAUsablePort) {
  WebSettings settings;
  settings.redirectTo = 8080;
  WebResponder responder(settings);
  const std::string moved = responder.AnswerGet(Login(""), 80, "192.168.0.1");
  EXPECT_EQ(moved.rfind("HTTP/1.1 301 Moved Permanently\r\n", 0), 0u);
  EXPECT_NE(moved.find("\r\nLocation: http://192.168.0.1:8080\r\n"), std::string::npos);
  EXPECT_EQ(RedirectPortText(moved), "8080");
  EXPECT_NE(responder.AnswerGet(Login(""), 8080, "192.168.0.1").find(" 200 OK"), std::string::npos);
  EXPECT_NE(responder.AnswerGet(kIndex, 80, "192.168.0.1").find(" 200 OK"), std::string::npos);

  settings.redirectWithPath = true;
  EXPECT_EQ(RedirectPortText(responder.AnswerGet(Login(""), 80, "192.168.0.1")), "8080/cgi-bin/logi");
}

// Only login answers are scanned for a port; a stray ':' and digit in one
// (a time of day, a --CAS code) would move the upgrader to a bogus port.
TEST(WebResponder, LoginAnswersOfferNoPortUnlessRedirecting) {
  WebSettings settings;
  WebResponder responder(settings);
  for (const char* login : {"200", "400", "404", "503"}) {
    settings.loginAnswer = login;
    EXPECT_EQ(RedirectPortText(responder.AnswerGet(Login("x"), 80, "192.168.0.1")), "") << login;
  }
  settings.generation = WebSettings::Generation::Old;
  settings.loginAnswer = "200";
  EXPECT_EQ(RedirectPortText(responder.AnswerGet(Login("x"), 80, "192.168.0.1")), "");
}

TEST(WebResponder, StatusSwitchesGiveTheirStatusLines) {
  WebSettings settings;
  WebResponder responder(settings);
  const std::pair<const char*, const char*> logins[] = {{"400", " 400 "}, {"404", " 404 "}, {"503", " 503 "}};
  for (const auto& [mode, status] : logins) {
    settings.loginAnswer = mode;
    EXPECT_NE(responder.AnswerGet(Login(""), 80, "a").find(status), std::string::npos) << mode;
  }
  settings.indexAnswer = "503";
  const std::string index = responder.AnswerGet(kIndex, 80, "a");
  EXPECT_NE(index.find(" 503 "), std::string::npos);
  EXPECT_NE(index.find("--CAS:"), std::string::npos) << "the verdict is read from a 503 index too";
  settings.indexAnswer = "301";
  EXPECT_NE(responder.AnswerGet(kIndex, 80, "a").find("301 "), std::string::npos);
}

TEST(WebResponder, UpgradeVerdictsFitTheClientsBuffer) {
  WebSettings settings;
  WebResponder responder(settings);
  const std::pair<const char*, const char*> verdicts[] = {
      {"8000", "--CAS:8000"}, {"8001", "--CAS:8001"}, {"8002", "--CAS:8002"}, {"1234", "--CAS:1234"},
      {"plain", " 200 OK"},   {"301", "301 "},         {"400", " 400 "},       {"404", " 404 "},
      {"501", " 501 "},       {"503", " 503 "}};
  for (const auto& [verdict, expected] : verdicts) {
    settings.upgradeVerdict = verdict;
    const std::string answer = responder.UpgradeVerdict(80, "192.168.0.1");
    EXPECT_NE(answer.find(expected), std::string::npos) << verdict;
    EXPECT_LE(answer.size(), 1463u) << verdict;
  }
  settings.upgradeVerdict = "plain";
  EXPECT_EQ(responder.UpgradeVerdict(80, "a").find("alert"), std::string::npos);
  settings.upgradeVerdict = "alert";
  settings.alertText = "Wrong file";
  const std::string alert = responder.UpgradeVerdict(80, "a");
  EXPECT_NE(alert.find("alert(\"Wrong file\")"), std::string::npos);
  EXPECT_EQ(alert.find("--CAS"), std::string::npos);
}

TEST(WebResponder, RomDataIsTheRequestedStretchRightAfterTheHeader) {
  PrivateTempDir dir;
  const std::string rom = dir.PathWithSeparator() + "rom.bin";
  Bytes content(1000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(WriteWholeFile(rom, content));
  WebSettings settings;
  settings.romData = rom;
  WebResponder responder(settings);
  const std::string answer = responder.AnswerGet(Get("GET /config.bin?O=10&L=5 HTTP/1.1\r\n"), 80, "a");
  const auto bodyAt = answer.find("\n\r\n");
  ASSERT_NE(bodyAt, std::string::npos);
  EXPECT_EQ(answer.substr(bodyAt + 3), ToText(Bytes(content.begin() + 10, content.begin() + 15)));
  EXPECT_EQ(RomSlice(rom, 998, 100)->size(), 2u) << "cut at the ROM's end";
  EXPECT_EQ(RomSlice(rom, 5000, 10), std::string());
  EXPECT_EQ(RomSlice("", 250, 3), std::string("\xfa\0\1", 3)) << "counting pattern modulo 251";
  EXPECT_NE(responder.AnswerGet(Get("GET /config.bin?O=x&L=5 HTTP/1.1\r\n"), 80, "a").find(" 400 "),
            std::string::npos);
}

}  // namespace
}  // namespace fwu
