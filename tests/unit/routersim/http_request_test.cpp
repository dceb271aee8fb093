#include "http_request.h"

#include <gtest/gtest.h>

namespace fwu {
namespace {

// The upgrader's requests, byte for byte.
const std::string kLoginTail =
    "Accept-Language: zh-tw\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept-Encoding: gzip, "
    "deflate\r\nUser-Agent: Mozilla/4.0 (Compatible; MSIE 5.0; Windows 98; DigExt)\r\nConnection: "
    "Keep-Alive\r\n\r\n";
const std::string kFirstLogin = "GET /cgi-bin/logi?rc=@&PSW=se cret&rd=menu HTTP/1.1\r\n\r\n" + kLoginTail;
const std::string kSecondLogin = "GET /cgi-bin/logi?rc=@&PSW=&rd=menu HTTP/1.1\r\nrd=begin\r\n" + kLoginTail;
const std::string kUploadHead =
    "POST /upg HTTP/1.0\r\nUser-Agent: Vantrel_Agent\r\nConnection: Keep-Alive\r\nContent-Type: "
    "multipart/form-data: boundary=-----------------123456789\r\nContent-Length: 1147\r\n\r\n";

TEST(HttpRequestHead, FirstLoginEndsAtTheEmptyLineRightAfterTheRequestLine) {
  // Without the second line the request line is followed by an empty line;
  // what follows is not part of this head.
  const HeadParse parse = ParseRequestHead(kFirstLogin);
  ASSERT_EQ(parse.status, HeadStatus::Complete);
  EXPECT_EQ(parse.head.method, "GET");
  EXPECT_EQ(parse.head.path, "/cgi-bin/logi");
  EXPECT_EQ(parse.head.QueryValue("PSW"), "se cret");
  EXPECT_EQ(parse.head.QueryValue("rd"), "menu");
  EXPECT_EQ(parse.head.QueryValue("r"), "");
  EXPECT_EQ(parse.head.headSize, kFirstLogin.find("\r\n\r\n") + 4);
}

TEST(HttpRequestHead, SecondLoginCarriesItsNonHeaderLine) {
  const HeadParse parse = ParseRequestHead(kSecondLogin);
  ASSERT_EQ(parse.status, HeadStatus::Complete);
  EXPECT_TRUE(parse.head.HasLine("rd=begin"));
  EXPECT_EQ(parse.head.QueryValue("PSW"), "");
  EXPECT_EQ(parse.head.headSize, kSecondLogin.size());
  EXPECT_EQ(parse.head.headers.size(), 5u);
}

TEST(HttpRequestHead, UploadHeadGivesTheBodyLength) {
  const HeadParse parse = ParseRequestHead(kUploadHead + "-----------------123456789\r\n");
  ASSERT_EQ(parse.status, HeadStatus::Complete);
  EXPECT_EQ(parse.head.path, "/upg");
  EXPECT_EQ(parse.head.contentLength, 1147u);
  EXPECT_EQ(parse.head.Header("user-agent"), "Vantrel_Agent");
  EXPECT_EQ(parse.head.Header("Expect"), "");
  EXPECT_EQ(parse.head.headSize, kUploadHead.size());
}

TEST(HttpRequestHead, RomRequestIsCompleteWithItsRequestLineAlone) {
  const HeadParse parse = ParseRequestHead("GET /config.bin?O=0&L=65536 HTTP/1.1\r\n");
  ASSERT_EQ(parse.status, HeadStatus::Complete);
  EXPECT_EQ(parse.head.QueryValue("O"), "0");
  EXPECT_EQ(parse.head.QueryValue("L"), "65536");
}

TEST(HttpRequestHead, EveryTruncationOfARequestIsIncomplete) {
  for (const std::string& request : {kFirstLogin.substr(0, kFirstLogin.find("\r\n\r\n") + 4), kSecondLogin, kUploadHead}) {
    for (std::size_t cut = 0; cut < request.size(); ++cut) {
      EXPECT_EQ(ParseRequestHead(request.substr(0, cut)).status, HeadStatus::Incomplete) << cut;
    }
  }
}

TEST(HttpRequestHead, MalformedHeadsAreRefused) {
  EXPECT_EQ(ParseRequestHead("GARBAGE\r\n\r\n").status, HeadStatus::Bad);
  EXPECT_EQ(ParseRequestHead("GET / FTP/1.0\r\n\r\n").status, HeadStatus::Bad);
  EXPECT_EQ(ParseRequestHead("POST /upg HTTP/1.0\r\nContent-Length: 12x\r\n\r\n").status, HeadStatus::Bad);
  EXPECT_EQ(ParseRequestHead("POST /upg HTTP/1.0\r\nContent-Length: -1\r\n\r\n").status, HeadStatus::Bad);
  // A head that never ends is refused instead of buffered without bound.
  EXPECT_EQ(ParseRequestHead("GET / HTTP/1.1\r\n" + std::string(kMaxRequestHead, 'a')).status, HeadStatus::Bad);
  EXPECT_EQ(ParseRequestHead(std::string(kMaxRequestHead + 1, 'a')).status, HeadStatus::Bad);
}

}  // namespace
}  // namespace fwu
