// routersim's web server over the virtual LAN, with requests sent byte for
// byte as the upgrader sends them (netprobe) and with curl.
#include <gtest/gtest.h>

#include "integration/routersim_test_support.h"
#include "platform/files.h"

namespace fwu {
namespace {

constexpr char kRouter[] = "192.168.1.1";

std::string UploadRequest(const std::string& images) {
  const std::string partHeader =
      "-----------------123456789\r\nContent-Disposition: from-data; name=\"FN\"; filename=\"upgrade.bin\" "
      "\r\nContent-Type: application/octet-stream \r\n\r\n";
  return "POST /upg HTTP/1.0\r\nUser-Agent: Vantrel_Agent\r\nConnection: Keep-Alive\r\nContent-Type: "
         "multipart/form-data: boundary=-----------------123456789\r\nContent-Length: " +
         std::to_string(images.size() + 147) + "\r\n\r\n" + partHeader + images + "\r\n----\r\n";
}

std::string PseudoRandomImage(std::size_t size, unsigned seed) {
  std::string image(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    image[i] = static_cast<char>(seed >> 16);
  }
  return image;
}

class RouterSimWeb : public ::testing::Test {
 protected:
  void SetUp() override { FWU_REQUIRE_VIRTUAL_LAN(); }

  void StartOne(std::vector<std::string> args) {
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"R1", {kRouter}, true}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    store_ = lan_->Dir() + "store";
    ASSERT_EQ(RunCommand({"mkdir", store_}, 5000).exitStatus, 0);
    args.insert(args.end(), {"--store-dir", store_});
    ASSERT_TRUE(lan_->StartRouter("R1", args)) << lan_->Error();
  }

  CommandResult Curl(const std::string& url) const { return lan_->RunInPc("curl -s -i '" + url + "'"); }

  // Sends raw bytes from a file and returns what the router answered.
  CommandResult SendRaw(const std::string& bytes, int waitMs = 5000) const {
    const std::string path = lan_->Dir() + "request.bin";
    EXPECT_TRUE(WriteWholeFile(path, ToBytes(bytes)));
    return lan_->RunInPc(VirtualLan::BinPath("netprobe") + " tcp --to " + kRouter + ":80 --file " + path +
                         " --wait " + std::to_string(waitMs));
  }

  std::unique_ptr<VirtualLan> lan_;
  std::string store_;
};

TEST_F(RouterSimWeb, RedirectedLoginAndIndexTellTheVerdictOnTheNewPort) {
  StartOne({"--password", "pw", "--redirect-to", "8080"});
  const CommandResult moved = Curl(std::string("http://") + kRouter + "/cgi-bin/logi?rc=@&PSW=pw&rd=menu");
  EXPECT_NE(moved.out.find("HTTP/1.1 301 Moved Permanently\r\n"), std::string::npos) << moved.out;
  EXPECT_NE(moved.out.find("Location: http://192.168.1.1:8080\r\n"), std::string::npos);

  const std::string base = std::string("http://") + kRouter + ":8080";
  EXPECT_NE(Curl(base + "/cgi-bin/logi?rc=@&PSW=pw&rd=menu").out.find(" 200 OK"), std::string::npos);
  EXPECT_NE(Curl(base + "/").out.find("--CAS:8003"), std::string::npos);
  Curl(base + "/cgi-bin/logi?rc=@&PSW=nope&rd=menu");
  EXPECT_NE(Curl(base + "/").out.find("--CAS:0003"), std::string::npos);

  const std::string record = lan_->RecordOf("R1");
  EXPECT_NE(record.find("http GET /cgi-bin/logi?rc=@&PSW=pw&rd=menu port 80\n"), std::string::npos) << record;
  EXPECT_NE(record.find("http GET / port 8080\n"), std::string::npos);
}

TEST_F(RouterSimWeb, UploadAsTheUpgraderSendsItIsStoredByteExactAndJudged) {
  StartOne({"--upgrade-verdict", "8002"});
  const std::string images = PseudoRandomImage(1 << 20, 7) + "\r\n----\r\n" + PseudoRandomImage(3, 9);
  const CommandResult answer = SendRaw(UploadRequest(images));
  EXPECT_EQ(answer.exitStatus, 0) << answer.err;
  EXPECT_NE(answer.out.find("--CAS:8002"), std::string::npos) << answer.out;
  EXPECT_EQ(ReadWholeFile(store_ + "/1-upgrade.bin"), ToBytes(images));
  EXPECT_TRUE(lan_->WaitForRecord("R1", "upload name=upgrade.bin bytes=" + std::to_string(images.size()) + "\n"));

  SendRaw(UploadRequest("second"));
  EXPECT_EQ(ReadWholeFile(store_ + "/2-upgrade.bin"), ToBytes("second"));
}

TEST_F(RouterSimWeb, LargeUploadFromCurlIsStreamed) {
  StartOne({});
  const std::string image = PseudoRandomImage(8 << 20, 3);
  const std::string request = UploadRequest(image);
  const std::string body = request.substr(request.find("\r\n\r\n") + 4);
  ASSERT_TRUE(WriteWholeFile(lan_->Dir() + "body.bin", ToBytes(body)));
  const CommandResult answer = lan_->RunInPc(
      "curl -s -i -H 'Content-Type: multipart/form-data: boundary=-----------------123456789' "
      "--data-binary @" + lan_->Dir() + "body.bin http://" + kRouter + "/upg", 30000);
  EXPECT_NE(answer.out.find("--CAS:8000"), std::string::npos) << answer.out << answer.err;
  EXPECT_EQ(ReadWholeFile(store_ + "/1-upgrade.bin"), ToBytes(image));
}

TEST_F(RouterSimWeb, StalledUploadKeepsTheConnectionWithoutAnswer) {
  StartOne({"--stall-after", "1000"});
  const CommandResult answer = SendRaw(UploadRequest(PseudoRandomImage(4 << 20, 1)), 1500);
  EXPECT_EQ(answer.exitStatus, 3) << "netprobe ran out of time waiting for an answer";
  EXPECT_TRUE(answer.out.empty());
  EXPECT_TRUE(lan_->WaitForRecord("R1", "upload stalled after 1000\n"));
}

TEST_F(RouterSimWeb, DroppedUploadClosesAfterTheGivenBytes) {
  StartOne({"--close-after", "1000"});
  const CommandResult answer = SendRaw(UploadRequest(PseudoRandomImage(4 << 20, 1)), 5000);
  EXPECT_NE(answer.exitStatus, 3) << "the router closed instead of stalling";
  EXPECT_EQ(answer.out.find("HTTP/"), std::string::npos);
  EXPECT_TRUE(lan_->WaitForRecord("R1", "upload closed after 1000\n"));
  EXPECT_EQ(FileSize(store_ + "/1-upgrade.bin"), 1000u - 139u);
}

TEST_F(RouterSimWeb, RomRequestLineAloneGetsTheDataRightAfterTheHeader) {
  StartOne({});
  const CommandResult answer = SendRaw("GET /config.bin?O=0&L=65536 HTTP/1.1\r\n");
  const auto bodyAt = answer.out.find("\n\r\n");
  ASSERT_NE(bodyAt, std::string::npos) << answer.out;
  EXPECT_NE(answer.out.find(" 200 OK"), std::string::npos);
  EXPECT_LT(bodyAt + 3, 1465u) << "the client wants the body to start in its first chunk";
  const std::string body = answer.out.substr(bodyAt + 3);
  ASSERT_EQ(body.size(), 65536u);
  for (std::size_t i = 0; i < body.size(); i += 997) {
    EXPECT_EQ(static_cast<unsigned char>(body[i]), i % 251) << i;
  }
  EXPECT_TRUE(lan_->WaitForRecord("R1", "http GET /config.bin?O=0&L=65536 port 80\n"));
}

}  // namespace
}  // namespace fwu
