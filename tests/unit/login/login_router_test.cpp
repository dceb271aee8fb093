#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/login_router.h"
#include "ui/controls.h"
#include "unit/transfer/fake_http_server.h"

namespace fwu {
namespace {

using test::FakeExchange;
using test::FakeHttpServer;

const std::string kTail =
    "Accept-Language: zh-tw\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept-Encoding: gzip, "
    "deflate\r\nUser-Agent: Mozilla/4.0 (Compatible; MSIE 5.0; Windows 98; DigExt)\r\nConnection: "
    "Keep-Alive\r\n\r\n";
const std::string kIndexRequest = "GET / HTTP/1.1\r\n" + kTail;

std::string LoginRequest(const std::string& query, const std::string& secondLine = "") {
  return "GET /cgi-bin/logi?" + query + " HTTP/1.1\r\n" + secondLine + "\r\n" + kTail;
}

FakeExchange Reply(const std::string& text) { return {"Keep-Alive\r\n\r\n", {text}}; }

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
const FakeExchange kNewRouterIndex = Reply(kOk + "<html><!--CAS:8003--></html>");

class LoginRouterTest : public ::testing::Test {
 protected:
  int Login(std::vector<FakeExchange> script, const std::string& password = "admin") {
    FakeHttpServer server(std::move(script));
    port_ = server.Port();
    const int result = LoginRouter(password, "127.0.0.1", method_, memo_, port_);
    server.Join();
    requests_ = server.Requests();
    return result;
  }
  const std::vector<std::string>& Lines() const { return memo_.Lines(); }

  MemoModel memo_;
  std::uint16_t method_ = 2;
  std::uint16_t port_ = 0;
  std::vector<std::string> requests_;
};

TEST(LoginRequests, AreExactWithAndWithoutPasswordAndSecondLine) {
  EXPECT_EQ(BuildLoginRequest("pa55", "").value(), LoginRequest("rc=@&PSW=pa55&rd=menu"));
  EXPECT_EQ(BuildLoginRequest("", "").value(), LoginRequest("rc=@&PSW=&rd=menu"));
  EXPECT_EQ(BuildLoginRequest("x", "rd=begin").value(), LoginRequest("rc=@&PSW=x&rd=menu", "rd=begin"));
  EXPECT_EQ(IndexRequest(), kIndexRequest);
}

TEST(LoginRequests, PasswordsThatWouldOverflowTheRequestAreRefused) {
  // The query is limited to 1,023 characters, 17 of which are fixed.
  const std::size_t longest = 1023 - 17;
  EXPECT_TRUE(BuildLoginRequest(std::string(longest, 'p'), "rd=begin").has_value());
  EXPECT_FALSE(BuildLoginRequest(std::string(longest + 1, 'p'), "").has_value());

  MemoModel memo;
  std::uint16_t method = 2;
  EXPECT_EQ(LoginRouter(std::string(5000, 'p'), "127.0.0.1", method, memo, 9), login::kNotSent);
  EXPECT_EQ(memo.Lines(),
            (std::vector<std::string>{"send login PKT error", "Password too long for the login request"}));
}

TEST_F(LoginRouterTest, NewRouterAcceptsThePasswordAndTheMethodStays) {
  EXPECT_EQ(Login({Reply(kOk + "menu"), kNewRouterIndex}, "pa55"), port_);
  EXPECT_EQ(requests_, (std::vector<std::string>{LoginRequest("rc=@&PSW=pa55&rd=menu"), kIndexRequest}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"send login PKT success", "send index PKT success",
                                               "Login password correct in New version"}));
  EXPECT_EQ(method_, 2);
}

TEST_F(LoginRouterTest, NewRouterVerdictCodes) {
  EXPECT_EQ(Login({Reply(kOk), Reply(kOk + "--CAS:0003")}), login::kPasswordRefused);
  EXPECT_EQ(Lines().back(), "Login password error in New version");
  EXPECT_EQ(Login({Reply(kOk), Reply(kOk + "--CAS 1234")}), login::kNoAnswer);
  EXPECT_EQ(Lines().back(), "unknow error code : 1234");
  EXPECT_EQ(method_, 2);
}

TEST_F(LoginRouterTest, OldRouterMovesTheMethodToFtpOrBackToHttp) {
  EXPECT_EQ(Login({Reply(kOk + "menu"), Reply(kOk + "index")}), port_);
  EXPECT_EQ(method_, 3);
  EXPECT_EQ(Lines().back(), "Login password correct in Old version");

  method_ = 133;
  memo_.Clear();
  EXPECT_EQ(Login({Reply(kOk + "<script>alert('Wrong password')</script>"), Reply(kOk + "index")}),
            login::kPasswordRefused);
  EXPECT_EQ(method_, 2);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"send login PKT success", "send index PKT success",
                                               "FTP Mode upgrade fail last time...", "Try to use HTTP Mode to upgrade ",
                                               "Old version detect", "Login password error in Old version"}));

  method_ = 1;
  EXPECT_EQ(Login({Reply(kOk + "alert"), Reply(kOk)}), login::kPasswordRefused);
  EXPECT_EQ(method_, 3);
}

TEST_F(LoginRouterTest, A404IsRetriedOnceWithTheSecondLine) {
  const FakeExchange notFound = Reply("HTTP/1.1 404 Not Found\r\n\r\n");
  EXPECT_EQ(Login({notFound, notFound}), login::kNoCgi);
  EXPECT_EQ(requests_, (std::vector<std::string>{LoginRequest("rc=@&PSW=admin&rd=menu"),
                                                LoginRequest("rc=@&PSW=admin&rd=menu", "rd=begin")}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"send login PKT success", "NO CGI Found, and test again",
                                               "send login PKT success", "NO CGI Found in send login"}));

  EXPECT_EQ(Login({notFound, Reply(kOk), kNewRouterIndex}), port_);
}

TEST_F(LoginRouterTest, LoginAnswers400And503LeaveTheDecisionToTheIndex) {
  EXPECT_EQ(Login({Reply("HTTP/1.1 400 Bad Request\r\n\r\n"), kNewRouterIndex}), port_);
  EXPECT_EQ(Lines()[1], "Bad request in send login");
  memo_.Clear();
  EXPECT_EQ(Login({Reply("HTTP/1.1 503 Busy\r\n\r\n"), Reply("HTTP/1.1 503 Busy\r\n\r\n--CAS:0003")}),
            login::kPasswordRefused);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"send login PKT success",
                                               "Upgrade Not Complete at last time in send login",
                                               "send index PKT success",
                                               "Upgrade Not Complete at last time in send get index",
                                               "Login password error in New version"}));
}

TEST_F(LoginRouterTest, UnusableAnswers) {
  EXPECT_EQ(Login({Reply("HTTP/1.1 302 Found\r\n\r\n")}), login::kNoAnswer);
  EXPECT_EQ(Lines().back(), "Receive login PKT error in send login");

  struct IndexRow {
    const char* answer;
    int result;
    const char* line;
  };
  const IndexRow rows[] = {
      {"HTTP/1.1 301 Moved\r\nLocation: :8080\r\n\r\n", login::kBadRedirect,
       "unexpect port number error in send get_index PKT"},
      {"HTTP/1.1 400 Bad\r\n\r\n", login::kBadIndexRequest, "Bad request in send get index"},
      {"HTTP/1.1 404 Not Found\r\n\r\n", login::kNoCgi, "NO CGI Found in send get index"},
      {"HTTP/1.1 500 Oops\r\n\r\n", login::kNoAnswer, "Receive login PKT error in send get index"},
  };
  for (const IndexRow& row : rows) {
    SCOPED_TRACE(row.answer);
    EXPECT_EQ(Login({Reply(kOk), Reply(row.answer)}), row.result);
    EXPECT_EQ(Lines().back(), row.line);
  }
}

TEST_F(LoginRouterTest, ConnectionFailuresAreNotSentOrNoAnswer) {
  FakeExchange hangUp;
  hangUp.closeAtOnce = true;
  EXPECT_EQ(Login({hangUp}), login::kNoAnswer);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"send login PKT success", "receive response error in send login PKT",
                                               "Read Data error!"}));

  memo_.Clear();
  EXPECT_EQ(Login({Reply(kOk), hangUp}), login::kNoAnswer);
  EXPECT_EQ(Lines().back(), "Read Data error!");
  EXPECT_EQ(Lines()[Lines().size() - 2], "receive response error in send index");

  memo_.Clear();
  TcpListener closed;
  ASSERT_TRUE(closed.Listen("127.0.0.1", 0));
  const std::uint16_t port = closed.Port();
  closed.Close();
  EXPECT_EQ(LoginRouter("admin", "127.0.0.1", method_, memo_, port), login::kNotSent);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"send login PKT error", "Failed to connect socket to IP : 127.0.0.1 "
                                                                       "and port : " + std::to_string(port)}));
}

TEST_F(LoginRouterTest, ARedirectMovesTheLoginToTheNewPort) {
  FakeHttpServer target({Reply(kOk), kNewRouterIndex});
  const std::string portText = std::to_string(target.Port());
  ASSERT_TRUE(portText[0] >= '1' && portText[0] <= '8');
  EXPECT_EQ(Login({Reply("HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:" + portText + "\r\n\r\n")}),
            target.Port());
  target.Join();
  EXPECT_EQ(target.Requests(), (std::vector<std::string>{LoginRequest("rc=@&PSW=admin&rd=menu"), kIndexRequest}));
  EXPECT_EQ(Lines()[1], "Resend login pkt in port : " + portText);
}

TEST_F(LoginRouterTest, RedirectsThatDoNotNameAUsablePort) {
  EXPECT_EQ(Login({Reply("HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:4567/index.htm\r\n\r\n")}),
            login::kBadRedirect);
  EXPECT_EQ(Lines().back(), "Invalid login port number : 4567/index.htm");

  EXPECT_EQ(Login({Reply("HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:70000\r\n\r\n")}), login::kBadRedirect);
  EXPECT_EQ(Lines().back(), "Invalid login port number : 70000");

  // What the router wrote reaches the log, and a terminal, printable.
  EXPECT_EQ(Login({Reply("HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:80\x1b[31m\r\n\r\n")}),
            login::kBadRedirect);
  EXPECT_EQ(Lines().back(), "Invalid login port number : 80?[31m");

  // A port starting with 9 does not count: the index goes to the old port.
  memo_.Clear();
  EXPECT_EQ(Login({Reply("HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:9090\r\n\r\n"), kNewRouterIndex}),
            port_);
  EXPECT_EQ(requests_.back(), kIndexRequest);
}

TEST_F(LoginRouterTest, ARouterThatKeepsRedirectingIsGivenUpOn) {
  const FakeExchange toItself = Reply("HTTP/1.1 301 Moved\r\nLocation: x:{PORT}\r\n\r\n");
  EXPECT_EQ(Login(std::vector<FakeExchange>(kMaxLoginRedirects + 1, toItself)), login::kBadRedirect);
  EXPECT_EQ(requests_.size(), static_cast<std::size_t>(kMaxLoginRedirects + 1));
  EXPECT_EQ(Lines().back(), "Too many port redirects in send login : " + std::to_string(port_));
}

// A four-digit port, as routers name them (8080 where it is free): the
// system's own choices all have five.
TEST_F(LoginRouterTest, ARedirectToAFourDigitPortIsFollowed) {
  std::unique_ptr<FakeHttpServer> web;
  for (std::uint16_t port = 8080; port < 8180 && !(web && web->Listening()); ++port) {
    web = std::make_unique<FakeHttpServer>(std::vector<FakeExchange>{Reply(kOk), kNewRouterIndex}, port);
  }
  ASSERT_TRUE(web->Listening()) << "ports 8080 to 8179 are all taken";
  const std::string port = std::to_string(web->Port());
  EXPECT_EQ(Login({Reply("HTTP/1.1 301 Moved Permanently\r\nLocation: http://127.0.0.1:" + port + "\r\n\r\n")}),
            web->Port());
}

}  // namespace
}  // namespace fwu
