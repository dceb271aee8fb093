// The console upgrader recovering routersim's boot loader when it is slow
// to answer, silent, or the user presses Ctrl+C: what an installer sees.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "bundle/bundle_writer.h"
#include "bundle/initial_setting.h"
#include "integration/vlan_fixture.h"
#include "platform/files.h"

namespace fwu {
namespace {

constexpr const char* kRouter = "192.168.123.254";

Bytes Image(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 29 + seed);
  return bytes;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// How a run in the background ended: its exit status, its log, and the
// milliseconds from the first log line holding a text to its exit.
struct TimedRun {
  int exitStatus = -1;
  std::string out, err;
  long long msAfterText = -1;
};

class TftpBootLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FWU_REQUIRE_VIRTUAL_LAN();
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"r1", {kRouter}}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
  }

  // routersim's crashed router with these switches, storing what it gets
  // in a directory of its own.
  void StartRouter(std::vector<std::string> args) {
    lan_->StopRouter("r1");
    store_ = lan_->Dir() + "store" + std::to_string(++runs_);
    std::filesystem::create_directory(store_);
    args.insert(args.end(), {"--crashed", "--reboot-delay", "300", "--store-dir", store_});
    ASSERT_TRUE(lan_->StartRouter("r1", args)) << lan_->Error();
  }

  // The unattended upgrader the vendor's control file sets up for kRouter.
  void MakeUpgrader(const std::vector<Bytes>& images, std::uint8_t timeOut) {
    InitialSetting control;
    control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodPut);
    control.SetByte(InitialSetting::kFlagsOffset, 0x9F);
    for (const auto& field : InitialSetting::kSearchIP) control.SetText(field, "default");
    control.SetText(InitialSetting::kCaption, "default");
    control.SetText(InitialSetting::kDstIP, kRouter);
    control.SetByte(InitialSetting::kTimeOutOffset, timeOut);
    std::vector<BundleEntry> entries{{"control.cfg", 0x1000, Bytes(control.Raw().begin(), control.Raw().end())}};
    for (std::size_t i = 0; i < images.size(); ++i) {
      entries.push_back({"fw" + std::to_string(i) + ".bin", 0x080D, images[i]});
    }
    const auto executable = ReadWholeFile(VirtualLan::BinPath("fwupgrade-cli"));
    ASSERT_TRUE(executable.has_value());
    const BuiltBundle built = BuildBundle(*executable, entries);
    ASSERT_TRUE(built.Ok()) << built.error;
    upgrader_ = lan_->Dir() + "upgrader";
    ASSERT_TRUE(WriteWholeFile(upgrader_, built.bytes));
    chmod(upgrader_.c_str(), 0755);
  }

  // Runs the upgrader in the PC; once its log holds `text`, sends it
  // `signal` (none: only notes the time) and waits for its end.
  TimedRun Run(const std::string& text, const std::string& signal = "") {
    const std::string dir = lan_->Dir();
    const std::string script =
        "cd " + dir + " && rm -f out err && env --default-signal=INT " + upgrader_ +
        " </dev/null >out 2>err & pid=$!; i=0; until grep -qF '" + text + "' " + dir +
        "out || [ $i -ge 600 ]; do sleep 0.05; i=$((i+1)); done; t0=$(date +%s%N); " +
        (signal.empty() ? "" : "kill -" + signal + " $pid; ") +
        "wait $pid; rc=$?; echo \"$rc $(( ($(date +%s%N) - t0) / 1000000 ))\"";
    const CommandResult result = lan_->RunInPc(script, 60000);
    TimedRun run;
    std::sscanf(result.out.c_str(), "%d %lld", &run.exitStatus, &run.msAfterText);
    const auto read = [&dir](const char* name) {
      const Bytes bytes = ReadWholeFile(dir + name).value_or(Bytes{});
      return std::string(bytes.begin(), bytes.end());
    };
    run.out = read("out");
    run.err = read("err");
    return run;
  }

  std::unique_ptr<VirtualLan> lan_;
  std::string store_, upgrader_;
  int runs_ = 0;
};

// Slower than the one-second timer, each block goes twice and the copy of a
// file's last block finds the session closed; slower than six seconds, the
// router is still waited for under a time-out of 20.
TEST_F(TftpBootLoaderTest, SlowBootLoadersGetEveryImageAndTheRebootOrder) {
  struct Case {
    std::string pace;
    std::vector<Bytes> images;
  };
  for (const Case& c : {Case{"1100", {Image(3000, 1), Image(1500, 2)}}, Case{"6500", {Image(100, 3)}}}) {
    SCOPED_TRACE(c.pace);
    StartRouter({"--tftp-pace", c.pace, "--tftp-closed-error"});
    MakeUpgrader(c.images, 20);
    const TimedRun run = Run("Unsing TFTP upgrade mode");
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(StoredFiles(store_), c.images) << "both files intact";
    EXPECT_TRUE(lan_->WaitForRecord("r1", "tftp reboot from"));
    EXPECT_TRUE(Has(run.out, "Total upgrade file count in TFTP mode: " + std::to_string(c.images.size())));
    EXPECT_FALSE(Has(run.out, "Recover process not be accept for router."));
  }
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), " after the end")) << "the slow router saw a closed file's block again";
}

TEST_F(TftpBootLoaderTest, ASilentBootLoaderEndsAsAStallAtTheTimeOut) {
  StartRouter({"--tftp-pace", "600000"});
  MakeUpgrader({Image(3000, 4)}, 8);
  const TimedRun run = Run("Unsing TFTP upgrade mode");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_TRUE(Has(run.err, "TFTP Upgrade Failure: Recover Not Complete. Please Power OFF and Power ON the router then "
                           "execution program again !!"))
      << run.err;
  EXPECT_FALSE(Has(run.err, "Incorrect upgrade file"));
  EXPECT_GE(run.msAfterText, 7500);
  EXPECT_LE(run.msAfterText, 10000);
}

TEST_F(TftpBootLoaderTest, CtrlCEndsTheRecoveryAsItStands) {
  StartRouter({"--tftp-pace", "300"});
  MakeUpgrader({Image(3000, 5)}, 20);
  TimedRun run = Run("Recv : 2", "INT");
  EXPECT_EQ(run.exitStatus, 1) << "mid-file: " << run.out << run.err;
  EXPECT_TRUE(Has(run.out, "Program ended by SIGINT"));

  StartRouter({});
  run = Run("Total upgrade file count in TFTP mode: 1", "INT");
  EXPECT_EQ(run.exitStatus, 0) << "in the reboot wait: " << run.out << run.err;
  EXPECT_LT(run.msAfterText, 1000);
  EXPECT_TRUE(Has(run.out, "Program ended by SIGINT"));
  EXPECT_TRUE(Has(run.err, "status: Recover success")) << run.err;
}

}  // namespace
}  // namespace fwu
