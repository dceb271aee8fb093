// `fwupgrade-cli recover --wait` as a technician uses it: the program is
// started first, the crashed router powered on afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <sstream>
#include <thread>

#include "integration/vlan_fixture.h"
#include "platform/files.h"

namespace fwu {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class RecoverTest : public ::testing::Test {
 protected:
  static constexpr const char* kFirst = "192.168.23.1";
  static constexpr const char* kSecond = "192.168.24.1";

  void SetUp() override {
    FWU_REQUIRE_VIRTUAL_LAN();
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"First", {kFirst}, true}, {"Second", {kSecond}, true}},
                                        "none");
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    Bytes firmware(60000);
    for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<std::uint8_t>(i * 31 + 7);
    file_ = lan_->Dir() + "image.bin";
    ASSERT_TRUE(WriteWholeFile(file_, firmware));
  }

  // Powers a crashed router on: its boot loader answers from now on.
  void PowerOn(const std::string& router) {
    ASSERT_TRUE(lan_->StartRouter(router, {"--crashed", "--info-after", "v2", "--reboot-delay", "500"}))
        << lan_->Error();
  }

  std::future<CommandResult> Recover(const std::string& options) {
    const std::string command = VirtualLan::BinPath("fwupgrade-cli") + " recover " + options + " </dev/null";
    return std::async(std::launch::async, [this, command] { return lan_->RunInPc(command, 120000); });
  }

  std::unique_ptr<VirtualLan> lan_;
  std::string file_;
};

TEST_F(RecoverTest, RouterPoweredOnLaterIsFoundRecoveredAndSeenRunning) {
  auto run = Recover("--wait --verify-timeout 30 " + file_);
  std::this_thread::sleep_for(std::chrono::seconds(5));
  PowerOn("First");
  const CommandResult result = run.get();
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.err, "Waiting for a router in recovery mode on ")) << result.err;
  EXPECT_TRUE(Has(result.err, ": power it on now")) << result.err;
  EXPECT_TRUE(Has(result.out, std::string(kFirst) + ": recovered and running")) << result.out;
  EXPECT_TRUE(Has(lan_->RecordOf("First"), "tftp stored")) << lan_->RecordOf("First");
}

TEST_F(RecoverTest, AllRecoversRoutersOneAfterAnotherUntilStopped) {
  const std::string log = lan_->Dir() + "recover.jsonl";
  const std::string pidFile = lan_->Dir() + "recover.pid";
  const std::string options = "--wait --all --verify-timeout 30 --log " + log + " " + file_;
  auto run = std::async(std::launch::async, [&] {
    return lan_->RunInPc(VirtualLan::BinPath("fwupgrade-cli") + " recover " + options + " </dev/null & echo $! >" +
                             pidFile + "; wait $!",
                         120000);
  });
  // Until the log holds the router's verdict, for at most a minute.
  const auto waitForDone = [&](const std::string& address) {
    for (int i = 0; i < 600; ++i) {
      const auto content = ReadWholeFile(log);
      std::istringstream lines(content ? std::string(content->begin(), content->end()) : "");
      for (std::string line; std::getline(lines, line);) {
        if (Has(line, "\"router-done\"") && Has(line, "\"address\": \"" + address + "\"")) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  };
  std::this_thread::sleep_for(std::chrono::seconds(2));
  PowerOn("First");
  EXPECT_TRUE(waitForDone(kFirst));
  PowerOn("Second");
  EXPECT_TRUE(waitForDone(kSecond));
  // What Ctrl+C asks, from outside a terminal.
  lan_->RunInPc("kill -TERM $(cat " + pidFile + ")");
  const CommandResult result = run.get();
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  for (const char* address : {kFirst, kSecond}) {
    EXPECT_TRUE(Has(result.out, std::string(address) + ": recovered and running")) << result.out;
  }
  EXPECT_TRUE(Has(result.out, "2 verified")) << result.out;
}

TEST_F(RecoverTest, TimeoutWithNoRouterEndsSoonWithExitStatusOne) {
  const auto start = std::chrono::steady_clock::now();
  const CommandResult result = Recover("--wait --timeout 3 " + file_).get();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "No router in recovery mode answered in 3 s")) << result.out;
  EXPECT_LE(seconds.count(), 6);
}

}  // namespace
}  // namespace fwu
