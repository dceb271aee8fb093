// Our FTP client against a real FTP server from Debian (pyftpdlib), started
// in a router's namespace of the virtual LAN: what it stores and retrieves
// must arrive byte for byte.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "integration/vlan_fixture.h"
#include "platform/files.h"

namespace fwu {
namespace {

constexpr const char* kServer = "192.168.77.2";
constexpr const char* kServerScript = "tests/interop/ftp_server.py";

std::string SourcePath(const std::string& relative) {
  const std::string script = VirtualLan::ScriptPath();  // SOURCE/scripts/vlan
  return script.substr(0, script.size() - std::string("scripts/vlan").size()) + relative;
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 2654435761u + seed) >> 13);
  return bytes;
}

class FtpInteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FWU_REQUIRE_VIRTUAL_LAN();
    if (!FileExists("/usr/lib/python3/dist-packages/pyftpdlib/__init__.py")) {
      constexpr const char* kWhy = "python3-pyftpdlib is not installed (scripts/install-deps)";
      if (VirtualLan::Required()) FAIL() << kWhy;
      GTEST_SKIP() << kWhy;
    }
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"srv", {kServer}}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    home_ = lan_->Dir() + "home";
    std::filesystem::create_directory(home_);
    const std::string out = lan_->Dir() + "server.out";
    ASSERT_TRUE(server_.Start({"ip", "netns", "exec", lan_->Name() + "-srv", "/usr/bin/python3",
                               SourcePath(kServerScript), home_, "s3cret"},
                              out, lan_->Dir() + "server.err"));
    for (int i = 0; i < 300 && !Ready(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(Ready(out)) << "the FTP server did not start";
  }
  void TearDown() override { server_.Stop(); }

  static bool Ready(const std::string& path) {
    const auto text = ReadWholeFile(path);
    return text && ToText(*text).find("ready") != std::string::npos;
  }
  CommandResult Probe(const std::string& arguments) {
    return lan_->RunInPc(VirtualLan::BinPath("ftpprobe") + " " + arguments, 30000);
  }

  std::unique_ptr<VirtualLan> lan_;
  BackgroundProcess server_;
  std::string home_;
};

TEST_F(FtpInteropTest, StoredAndRetrievedFilesAreByteIdentical) {
  const Bytes image = Pattern(3 * 1024 * 1024 + 17, 5);
  const Bytes small = Pattern(100, 9);
  const std::string imagePath = lan_->Dir() + "image.bin.tmp";
  const std::string smallPath = lan_->Dir() + "small.bin";
  ASSERT_TRUE(WriteWholeFile(imagePath, image));
  ASSERT_TRUE(WriteWholeFile(smallPath, small));
  const CommandResult put = Probe(std::string("put ") + kServer + " s3cret " + imagePath + " " + smallPath);
  EXPECT_EQ(put.exitStatus, 0) << put.out << put.err;
  EXPECT_EQ(ReadWholeFile(home_ + "/image.bin"), image) << "stored without the extraction's suffix";
  EXPECT_EQ(ReadWholeFile(home_ + "/small.bin"), small);

  const std::string back = lan_->Dir() + "back.bin";
  const CommandResult get = Probe(std::string("get ") + kServer + " s3cret image.bin " + back);
  EXPECT_EQ(get.exitStatus, 0) << get.out << get.err;
  EXPECT_EQ(ReadWholeFile(back), image);
}

TEST_F(FtpInteropTest, ServerRefusalsReachTheirResults) {
  const std::string path = lan_->Dir() + "a.bin";
  ASSERT_TRUE(WriteWholeFile(path, Pattern(10, 1)));
  const CommandResult refused = Probe(std::string("put ") + kServer + " wrong " + path);
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_NE(refused.out.find("result -2\n"), std::string::npos) << refused.out;
  const CommandResult missing = Probe(std::string("get ") + kServer + " s3cret 0#512 " + lan_->Dir() + "rom.bin");
  EXPECT_NE(missing.out.find("result -1\ntext Get Rom File Error\n"), std::string::npos) << missing.out;
}

}  // namespace
}  // namespace fwu
