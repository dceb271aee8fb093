#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/temp_dir.h"
#include "transfer/http_client.h"
#include "transfer/transfer_view.h"
#include "ui/controls.h"
#include "unit/transfer/fake_http_server.h"

namespace fwu {
namespace {

using test::FakeExchange;
using test::FakeHttpServer;

class RomFetchTest : public ::testing::Test {
 protected:
  int Fetch(const std::string& offsetText, const std::string& lengthText, const std::string& reply,
            std::int64_t length = 0, FakeExchange::Ending ending = FakeExchange::Ending::Close) {
    FakeExchange exchange{"HTTP/1.1\r\n", {reply}};
    exchange.ending = ending;
    FakeHttpServer server({exchange});
    int result = 0;
    {
      // A router that stops answering is given up on soon.
      HttpClient client(LinkDeadlines{2000, 300});
      result = client.GetRomFile(view_, "127.0.0.1", server.Port(), path_, "secret", 0, length, offsetText,
                                 lengthText);
      resultText_ = client.ResultText();
    }
    server.Join();
    const auto requests = server.Requests();
    request_ = requests.empty() ? "" : requests.front();
    return result;
  }
  std::vector<std::string> FilesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.PathWithSeparator())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  PrivateTempDir dir_;
  std::string path_ = dir_.PathWithSeparator() + "rom.dat";
  MemoModel memo_;
  StatusBarModel status_;
  ProgressBarModel progress_;
  ModelTransferView view_{memo_, status_, progress_};
  std::string resultText_, request_;
};

TEST_F(RomFetchTest, TheRequestIsOneLineAndTheBodyLandsInTheFile) {
  const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nROM-BYTES";
  EXPECT_EQ(Fetch("0", "9", reply, 9), 1);
  EXPECT_EQ(request_, "GET /config.bin?O=0&L=9 HTTP/1.1\r\n");
  EXPECT_EQ(ToText(ReadWholeFile(path_).value()), "ROM-BYTES");
  EXPECT_EQ(resultText_, "Get ROM file success");
  EXPECT_EQ(progress_.Max(), 9);
  EXPECT_EQ(progress_.Position(), static_cast<int>(reply.size()));
  EXPECT_EQ(status_.Text(), "Connecting to router");
  const std::vector<std::string> tail(memo_.Lines().end() - 3, memo_.Lines().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Prepare to send get command: \n", request_,
                                            "Get ROM file success in file : " + path_}));
}

TEST_F(RomFetchTest, FailedReadsNeverCostTheLastGoodCopy) {
  ASSERT_TRUE(WriteWholeFile(path_, ToBytes("previous")));
  const std::string header = "HTTP/1.1 200 OK\r\n\r\n";
  EXPECT_EQ(Fetch("1000", "512", "HTTP/1.1 400 Bad Request\r\n\r\n", 512), -1);
  EXPECT_EQ(request_, "GET /config.bin?O=1000&L=512 HTTP/1.1\r\n");
  EXPECT_EQ(resultText_, "Bad Request !");
  EXPECT_EQ(memo_.Lines().back(), "Bad Request !");
  // Cut off in the middle of the body by a reset, then by a stall.
  EXPECT_EQ(Fetch("0", "512", header + "half", 512, FakeExchange::Ending::Reset), -1);
  EXPECT_EQ(resultText_, "Read Data error!");
  EXPECT_EQ(Fetch("0", "512", header + "half", 512, FakeExchange::Ending::Stall), -1);
  EXPECT_EQ(resultText_, "Read Data error!");
  // Whole as far as HTTP can tell, but shorter than asked.
  EXPECT_EQ(Fetch("0", "512", header + "half", 512), -1);
  EXPECT_EQ(resultText_, "ROM data shorter than asked : 4 of 512 bytes");
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"rom.dat"});
  EXPECT_EQ(ToText(ReadWholeFile(path_).value()), "previous");

  EXPECT_EQ(Fetch("0", "4", header + "good", 4), 1);
  EXPECT_EQ(ToText(ReadWholeFile(path_).value()), "good");
  EXPECT_EQ(ToText(ReadWholeFile(path_ + ".BAK").value()), "previous");
}

TEST_F(RomFetchTest, RangeTextsThatDoNotFitTheRequestAreRefusedUnsent) {
  const std::string fifteen(15, '1');
  const std::string sixteen(16, '2');
  HttpClient client;
  EXPECT_EQ(client.GetRomFile(view_, "127.0.0.1", 9, path_, "", 0, 1, fifteen, sixteen + "x"), -1);
  EXPECT_EQ(client.ResultText(), "ROM range text too long");
  EXPECT_FALSE(FileExists(path_));
  // Two texts of 15 characters each, as the control data allows, fit.
  EXPECT_EQ(Fetch(fifteen, fifteen, "HTTP/1.1 200 OK\r\n\r\nx"), 1);
}

}  // namespace
}  // namespace fwu
