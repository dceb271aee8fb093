// The Windows build under Wine, inside a virtual LAN: the vendor tool
// appends a bundle to the console upgrader, and the result upgrades a
// simulated router as it would from a Windows laptop.
//
// Wine's server makes the sockets of every Wine program it serves, so it
// must run in the PC's namespace, not in the machine's own: the script
// below starts it there, checks where it and the programs run, and stops it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "integration/vlan_fixture.h"
#include "platform/files.h"

namespace fwu {
namespace {

constexpr const char* kRouter = "192.168.123.254";
constexpr int kRefusedOwnNamespace = 97;
constexpr int kServerElsewhere = 98;
// Wine's first start in a prefix builds it, which on a busy machine takes
// minutes; later starts take seconds.
constexpr int kWineRunMs = 300000;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// scripts/test-windows names the cross-build's programs; without it the
// usual build-win/ beside the sources is looked at, and its absence skips.
std::string WindowsBinDir() {
  const std::string given = Env("FWU_WINDOWS_BIN_DIR");
  return given.empty() ? std::string(FWU_BUILD_SOURCE_DIR) + "/build-win/bin" : given;
}

Bytes Firmware(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 167 + 3) ^ (i >> 11));
  return bytes;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class WineUpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FWU_REQUIRE_VIRTUAL_LAN();
    const std::string bin = WindowsBinDir();
    for (const char* program : {"fwupgrade-cli.exe", "fwbundle.exe"}) {
      if (FileExists(bin + "/" + program)) continue;
      const std::string why = "no Windows build at " + bin + " (scripts/test-windows makes one)";
      if (!Env("FWU_WINDOWS_BIN_DIR").empty()) FAIL() << why;
      GTEST_SKIP() << why;
    }
    bin_ = bin;
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"r1", {kRouter}}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    work_ = lan_->Dir() + "work";
    received_ = lan_->Dir() + "received";
    std::filesystem::create_directory(work_);
    std::filesystem::create_directory(received_);
    // Without a prefix from the caller, one of its own, removed with the LAN.
    prefix_ = Env("WINEPREFIX").empty() ? lan_->Dir() + "prefix" : Env("WINEPREFIX");
  }

  // Runs Windows commands (each line a `wine ...` call) in the PC namespace
  // with a Wine server of their own there. The script's status is the last
  // command's, or one of the refusals above.
  CommandResult RunUnderWine(const std::string& commands) const {
    const std::string script =
        "set -u\n"
        "self=$(readlink /proc/self/ns/net)\n"
        "[ \"$self\" != \"$(readlink /proc/1/ns/net)\" ] || { echo 'refused: the machine'\"'\"'s own namespace' >&2; exit " +
        std::to_string(kRefusedOwnNamespace) + "; }\n"
        "export WINEPREFIX=" + Quoted(prefix_) + " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' WINEARCH=win64\n"
        "unset DISPLAY WAYLAND_DISPLAY\n"
        "cd " + Quoted(work_) + " || exit 1\n"
        // The server ends at once when the prefix's directory is not there.
        "mkdir -p \"$WINEPREFIX\" || exit 1\n"
        // A server left elsewhere for this prefix would make the sockets there.
        "wineserver -k 2>/dev/null; wineserver -w 2>/dev/null\n"
        "wineserver -f -p >wineserver.log 2>&1 &\n"
        "server=$!\n"
        "[ \"$(readlink /proc/$server/ns/net)\" = \"$self\" ] || { echo 'refused: Wine server elsewhere' >&2; exit " +
        std::to_string(kServerElsewhere) + "; }\n"
        "run() {\n" + commands + "\n}\n"
        "run; status=$?\n"
        "wineserver -k; wait $server\n"
        "exit $status\n";
    return lan_->RunInPc(script, kWineRunMs);
  }

  // The vendor's steps on Windows: the firmware and both programs in the
  // work directory, then the lines that write the control file and append
  // the bundle to the upgrader, as upgrader.exe.
  std::string BundleCommands(const Bytes& firmware, int timeoutSeconds) const {
    EXPECT_TRUE(WriteWholeFile(work_ + "/firmware.bin", firmware));
    std::filesystem::copy_file(bin_ + "/fwupgrade-cli.exe", work_ + "/fwupgrade-cli.exe");
    std::filesystem::copy_file(bin_ + "/fwbundle.exe", work_ + "/fwbundle.exe");
    return std::string("wine fwbundle.exe control -o control.cfg --method put --dst-ip ") + kRouter +
           " --password admin --timeout " + std::to_string(timeoutSeconds) + " || return 90\n" +
           "wine fwbundle.exe append -o upgrader.exe --exe fwupgrade-cli.exe --control control.cfg"
           " --upgrade firmware.bin || return 91\n";
  }

  std::unique_ptr<VirtualLan> lan_;
  std::string bin_;
  std::string work_;
  std::string received_;
  std::string prefix_;
};

TEST_F(WineUpgradeTest, BundledUpgraderDeliversTheFirmwareOverHttpByteForByte) {
  ASSERT_TRUE(lan_->StartRouter("r1", {"--password", "admin", "--store-dir", received_})) << lan_->Error();
  const Bytes firmware = Firmware(400000);
  const CommandResult result = RunUnderWine(BundleCommands(firmware, 20) + "wine upgrader.exe </dev/null");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Imbed File Attrib : 4096"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Login password correct in New version"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(std::string("Unsing HTTP upgrade mode to : ") + kRouter), std::string::npos);
  std::vector<std::filesystem::path> stored;
  for (const auto& entry : std::filesystem::directory_iterator(received_)) stored.push_back(entry.path());
  ASSERT_EQ(stored.size(), 1u) << lan_->RecordOf("r1");
  EXPECT_TRUE(ReadWholeFile(stored[0].string()) == firmware) << "the router must hold the firmware byte for byte";
}

// Ctrl+C in the middle of an upload, as Wine hands it on from the terminal:
// the console control handler ends the run in order, as failed, and the
// private temporary directory goes with it.
TEST_F(WineUpgradeTest, CtrlCMidUploadEndsTheRunAsFailedAndLeavesNoTemporaryFiles) {
  // The router stops reading, so the interrupt finds the upload under way.
  ASSERT_TRUE(lan_->StartRouter("r1", {"--password", "admin", "--stall-after", "20000"})) << lan_->Error();
  // A background job of sh ignores SIGINT unless told otherwise.
  const CommandResult result = RunUnderWine(
      BundleCommands(Firmware(2000000), 60) +
      "temp=$(ls -d \"$WINEPREFIX\"/drive_c/users/*/Temp); before=$(ls -A \"$temp\")\n"
      "env --default-signal=INT wine upgrader.exe </dev/null >upgrader.out 2>&1 &\n"
      "pid=$!; i=0\n"
      "until grep -q 'Unsing HTTP upgrade mode' upgrader.out || [ $i -ge 600 ]; do sleep 0.1; i=$((i+1)); done\n"
      "sleep 0.5; kill -INT $pid; wait $pid; echo \"exit $?\"\n"
      "[ \"$(ls -A \"$temp\")\" = \"$before\" ] || echo \"left in $temp: $(ls -A \"$temp\")\"");

  const std::string out = ToText(ReadWholeFile(work_ + "/upgrader.out").value_or(Bytes{}));
  EXPECT_EQ(result.out, "exit 1\n") << out << result.err;
  EXPECT_NE(out.find("Program ended by SIGINT"), std::string::npos) << out;
}

}  // namespace
}  // namespace fwu
