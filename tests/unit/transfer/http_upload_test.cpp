#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/manual_event_loop.h"
#include "platform/temp_dir.h"
#include "transfer/http_client.h"
#include "transfer/transfer_view.h"
#include "ui/controls.h"
#include "ui/scripted_dialogs.h"
#include "unit/transfer/fake_http_server.h"

namespace fwu {
namespace {

using test::FakeExchange;
using test::FakeHttpServer;
using namespace std::string_literals;

constexpr std::uint16_t kPlainFile = 0x080D;    // no ID check, HTTP and TFTP
constexpr std::uint16_t kMatchedFile = 0x0816;  // ID check, HTTP, section 1
constexpr std::uint16_t kDefaultFile = 0x0827;  // default file, HTTP, section 2
constexpr std::uint16_t kMessageFile = 0x040D;

std::string ExpectedHeader(std::size_t fileBytes) {
  return "POST /upg HTTP/1.0\r\nUser-Agent: Vantrel_Agent\r\nConnection: Keep-Alive\r\n"
         "Content-Type: multipart/form-data: boundary=-----------------123456789\r\nContent-Length: " +
         std::to_string(fileBytes + 147) +
         "\r\n\r\n-----------------123456789\r\nContent-Disposition: from-data; name=\"FN\"; "
         "filename=\"upgrade.bin\" \r\nContent-Type: application/octet-stream \r\n\r\n";
}

// A router that stops answering is given up on soon.
constexpr LinkDeadlines kQuickDeadlines{2000, 300};

struct RecordingNotices final : NoticePresenter {
  void Offer(const NoticeOffer& offer) override { paths.push_back(offer.path); }
  void Show(const MessageFile&) override {}
  std::vector<std::string> paths;
};

class HttpUploadTest : public ::testing::Test {
 protected:
  HttpUploadTest() { files_.Add({"", 0, 0}); }

  std::string AddFile(const std::string& name, const std::string& content, std::uint16_t attribute) {
    const std::string path = dir_.PathWithSeparator() + name;
    EXPECT_TRUE(WriteWholeFile(path, ToBytes(content)));
    files_.Add({path, attribute, 1});
    return path;
  }

  // One upload against a fake router answering `reply` once the closing
  // text has arrived.
  int Upload(const std::string& reply, const std::string& romId = "",
             FakeExchange::Ending ending = FakeExchange::Ending::Close) {
    FakeExchange exchange{std::string(HttpClient::kClosingText), {reply}};
    exchange.ending = ending;
    FakeHttpServer server({exchange});
    int result = 0;
    {
      HttpClient client(kQuickDeadlines);
      result = client.UploadFiles(stopCounter_, view_, files_, "127.0.0.1", server.Port(), romId, 3, notices_,
                                  dialogs_);
      resultText_ = client.ResultText();
      section_ = client.UpgradeSection();
      uploadCount_ = client.UploadCount();
    }
    server.Join();
    const auto requests = server.Requests();
    received_ = requests.empty() ? "" : requests.front();
    return result;
  }

  bool Logged(const std::string& line) const {
    const auto& lines = memo_.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  PrivateTempDir dir_;
  FileTable files_;
  MemoModel memo_;
  StatusBarModel status_;
  ProgressBarModel progress_;
  ModelTransferView view_{memo_, status_, progress_};
  ManualEventLoop loop_;
  ScriptedDialogs dialogs_{loop_};
  RecordingNotices notices_;
  std::atomic<std::int16_t> stopCounter_{7};
  std::string resultText_, section_, received_;
  int uploadCount_ = 0;
};

TEST(HttpClientHeader, PostHeaderAndPartHeaderAreExact) {
  static_assert(HttpClient::kPartHeader.size() == 139);
  HttpClient client;
  std::string header;
  const std::size_t length = client.BuildPostHeader(header, 1000);
  EXPECT_EQ(length, header.size());
  EXPECT_EQ(header, ExpectedHeader(1000));
}

TEST_F(HttpUploadTest, OneFileTravelsBetweenThePartHeaderAndTheClosingText) {
  const std::string image = "IMAGE\0BYTES\r\n"s;
  AddFile("fw.bin", image, kPlainFile);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8000"), 1);
  EXPECT_EQ(received_, ExpectedHeader(image.size()) + image + "\r\n----\r\n");
  EXPECT_EQ(resultText_, "Upgrade Successfully");
  EXPECT_EQ(status_.Text(), "Upgrade Success");
  EXPECT_TRUE(Logged("Upgrade File Length : 13"));
  EXPECT_TRUE(Logged("Send end char"));
  EXPECT_TRUE(Logged("Send Bin File Length : 21"));
  EXPECT_TRUE(Logged("Total upgrade file count in HTTP mode: 1"));
  EXPECT_TRUE(Logged("Upgrade success in New version"));
  EXPECT_EQ(uploadCount_, 1);
  EXPECT_EQ(stopCounter_.load(), 0);
  EXPECT_EQ(progress_.Max(), 13);
  EXPECT_EQ(progress_.Position(), static_cast<int>(received_.size()));
}

TEST_F(HttpUploadTest, TwoFilesShareOneClosingTextAndOneLength) {
  AddFile("a.bin", "first file", kPlainFile | 0x10);
  AddFile("b.bin", "second", kPlainFile | 0x30);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8000"), 1);
  EXPECT_EQ(received_, ExpectedHeader(16) + "first filesecond\r\n----\r\n");
  EXPECT_TRUE(Logged("Send Bin File Length : 10"));
  EXPECT_TRUE(Logged("Send Bin File Length : 14"));
  EXPECT_EQ(section_, "AC");
  EXPECT_EQ(uploadCount_, 2);
}

TEST_F(HttpUploadTest, ANameMatchedFileMakesTheDefaultFileStayBehind) {
  AddFile("ROUTERX-fw.bin", "special", kMatchedFile);
  AddFile("default.bin", "generic", kDefaultFile);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8000", "routerx"), 1);
  EXPECT_EQ(received_, ExpectedHeader(7) + "special\r\n----\r\n");
  EXPECT_EQ(section_, "A");
}

TEST_F(HttpUploadTest, MessageFilesOnTheWayAreOfferedButNotSent) {
  AddFile("fw.bin", "image", kPlainFile);
  const std::string message = AddFile("notice.msg", "message", kMessageFile);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8000"), 1);
  EXPECT_EQ(received_, ExpectedHeader(5) + "image\r\n----\r\n");
  EXPECT_EQ(notices_.paths, std::vector<std::string>{message});
}

TEST_F(HttpUploadTest, NothingToSendFailsAfterTheHeaderWent) {
  AddFile("tftp-only.bin", "x", 0x0809);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8000"), -1);
  EXPECT_EQ(resultText_, "HTTP upgrade Failure !");
  EXPECT_EQ(received_, ExpectedHeader(0));
}

TEST_F(HttpUploadTest, RefusedRepliesKeepTheUpgradingStatus) {
  AddFile("fw.bin", "image", kPlainFile);
  EXPECT_EQ(Upload("HTTP/1.0 404 Not Found\r\n\r\n"), -1);
  EXPECT_TRUE(Logged("Unexpect NO CGI Found"));
  EXPECT_EQ(resultText_, "Unexpect receive data");
  EXPECT_EQ(status_.Text(), "Upgrading! Do NOT exit or power off the device.");

  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8002"), -1);
  EXPECT_EQ(resultText_, "Unallowable upgrade file");
}

TEST_F(HttpUploadTest, AReplyLongerThanTheBufferIsAReceiveError) {
  AddFile("fw.bin", "image", kPlainFile);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CAS:8000" + std::string(1464, ' ')), -1);
  EXPECT_TRUE(Logged("receive response error"));
  EXPECT_EQ(resultText_, "receive response error in upgrade");
  EXPECT_EQ(status_.Text(), "Upgrade Failure");
}

TEST_F(HttpUploadTest, AVerdictCutOffByAResetOrAStallIsAReceiveError) {
  AddFile("fw.bin", "image", kPlainFile);
  for (const auto ending : {FakeExchange::Ending::Reset, FakeExchange::Ending::Stall}) {
    EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\n--CA", "", ending), -1);
    EXPECT_EQ(resultText_, "receive response error in upgrade");
    EXPECT_EQ(status_.Text(), "Upgrade Failure");
  }
}

TEST_F(HttpUploadTest, ALargeImageArrivesWholeInPieces) {
  std::string image(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 131) >> 3);
  AddFile("big.bin", image, kPlainFile);
  EXPECT_EQ(Upload("HTTP/1.0 200 OK\r\n\r\nno tag"), 1);
  EXPECT_EQ(resultText_, "Upgrade Successfully");
  ASSERT_EQ(received_.size(), ExpectedHeader(image.size()).size() + image.size() + 8);
  EXPECT_TRUE(received_ == ExpectedHeader(image.size()) + image + "\r\n----\r\n");
}

TEST_F(HttpUploadTest, ARouterThatHangsUpMidImageIsASendErrorNotASignal) {
  AddFile("big.bin", std::string(16 << 20, 'x'), kPlainFile);
  FakeHttpServer server({FakeExchange{"", {}, true}});
  HttpClient client;
  EXPECT_EQ(client.UploadFiles(stopCounter_, view_, files_, "127.0.0.1", server.Port(), "", 0, notices_, dialogs_), -1);
  EXPECT_EQ(client.ResultText().rfind("Send Data Error: ", 0), 0u) << client.ResultText();
  EXPECT_TRUE(Logged("Error :" + client.ResultText()));
}

TEST_F(HttpUploadTest, AFileThatVanishedFailsTheLengthPass) {
  const std::string path = AddFile("gone.bin", "x", kPlainFile);
  ASSERT_TRUE(RemoveFile(path));
  EXPECT_EQ(Upload("unused"), -1);
  EXPECT_EQ(resultText_, "File Seek error : " + path);
  EXPECT_TRUE(Logged(resultText_));
}

TEST_F(HttpUploadTest, NoRouterMeansAConnectFailure) {
  AddFile("fw.bin", "image", kPlainFile);
  TcpListener closed;
  ASSERT_TRUE(closed.Listen("127.0.0.1", 0));
  const std::uint16_t port = closed.Port();
  closed.Close();
  HttpClient client;
  EXPECT_EQ(client.UploadFiles(stopCounter_, view_, files_, "127.0.0.1", port, "", 0, notices_, dialogs_), -1);
  EXPECT_EQ(status_.Text(), "Connect to router failure");
  EXPECT_EQ(client.ResultText(), "Failed to connect socket to IP : 127.0.0.1 and port : " + std::to_string(port));
}

}  // namespace
}  // namespace fwu
