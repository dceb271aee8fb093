// The Windows build under Wine, inside a virtual LAN: the vendor tool
// appends a bundle to the console upgrader, and the result upgrades a
// simulated router over HTTP, TFTP and FTP and fetches its ROM data, as it
// would from a Windows laptop cabled to the router with no gateway.
//
// Wine's server makes the sockets of every Wine program it serves, so it
// must run in the PC's namespace, not in the machine's own: the script
// below starts it there, checks where it and the programs run, and stops it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "integration/pty_session.h"
#include "integration/vlan_fixture.h"
#include "platform/files.h"
#include "platform/utf16.h"

namespace fwu {
namespace {

constexpr const char* kRouter = "192.168.123.254";
constexpr const char* kSecondRouter = "192.168.124.254";
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

Bytes Firmware(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 167 + seed) ^ (i >> 11));
  return bytes;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The vendor tool's two steps, as shell commands in the work directory: a
// control file from these options, then upgrader.exe with it and the
// images (--upgrade FILE[:ATTR] ...) appended.
std::string BundleCommands(const std::string& tool, const std::string& controlOptions, const std::string& images,
                           const std::string& program = "fwupgrade-cli.exe") {
  return tool + " control -o control.cfg " + controlOptions + " && " + tool + " append -o upgrader.exe --exe " +
         program + " --control control.cfg " + images;
}

// The control options of an unattended "put" to the router.
std::string UnattendedPut(const std::string& password, int timeoutSeconds = 20) {
  return std::string("--method put --dst-ip ") + kRouter + " --timeout " + std::to_string(timeoutSeconds) +
         (password.empty() ? "" : " --password " + password);
}

// An X server of the script's own, for the window program.
constexpr const char* kVirtualDisplay =
    "Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display 2>xvfb.log &\n"
    "xvfb=$!\n"
    "for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done\n"
    "[ -s display ] || { echo 'no virtual display' >&2; exit 1; }\n"
    "export DISPLAY=:$(cat display)\n";

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
    lan_ = std::make_unique<VirtualLan>(routers_, pcRoute_);
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    work_ = lan_->Dir() + "work";
    received_ = lan_->Dir() + "received";
    std::filesystem::create_directory(work_);
    std::filesystem::create_directory(received_);
    // Without a prefix from the caller, one of its own, removed with the LAN.
    prefix_ = Env("WINEPREFIX").empty() ? lan_->Dir() + "prefix" : Env("WINEPREFIX");
    std::filesystem::copy_file(bin_ + "/fwupgrade-cli.exe", work_ + "/fwupgrade-cli.exe");
    if (FileExists(bin_ + "/fwupgrade.exe")) std::filesystem::copy_file(bin_ + "/fwupgrade.exe", work_ + "/fwupgrade.exe");
  }

  void StartRouter(std::vector<std::string> args) {
    args.insert(args.end(), {"--store-dir", received_});
    ASSERT_TRUE(lan_->StartRouter("r1", args)) << lan_->Error();
  }

  // The bundle by the Linux build's vendor tool: a Wine start saved, and the
  // bundle is the same bytes on either system.
  void Bundle(const std::string& controlOptions, const std::string& images,
              const std::string& program = "fwupgrade-cli.exe") const {
    const CommandResult made =
        lan_->RunInPc("cd " + Quoted(work_) + " && " +
                      BundleCommands(Quoted(VirtualLan::BinPath("fwbundle")), controlOptions, images, program));
    ASSERT_EQ(made.exitStatus, 0) << made.out << made.err;
  }

  void WriteWorkFile(const std::string& name, const Bytes& bytes) const {
    ASSERT_TRUE(WriteWholeFile(work_ + "/" + name, bytes));
  }

  std::vector<Bytes> Received() const { return StoredFiles(received_); }

  // Runs Windows commands (each line a `wine ...` call) in the PC namespace
  // with a Wine server of their own there, and with a virtual display there
  // when asked (an X server's socket belongs to its network namespace). The
  // script's status is the last command's, or one of the refusals above.
  CommandResult RunUnderWine(const std::string& commands, bool display = false) const {
    return lan_->RunInPc(WineScript(commands, display), kWineRunMs);
  }

  // The same commands on a terminal of their own, as a technician types.
  bool StartOnTerminal(PtySession& session, const std::string& commands) const {
    // The script's shell outlives a Ctrl+C meant for the program, as a
    // technician's interactive shell does.
    return session.Start(
        {"ip", "netns", "exec", lan_->Name() + "-pc", "sh", "-c", WineScript("trap : INT\n" + commands, false)});
  }

  std::string WineScript(const std::string& commands, bool display) const {
    return
        "set -u\n"
        "self=$(readlink /proc/self/ns/net)\n"
        "[ \"$self\" != \"$(readlink /proc/1/ns/net)\" ] || { echo 'refused: the machine'\"'\"'s own namespace' >&2; exit " +
        std::to_string(kRefusedOwnNamespace) + "; }\n"
        "export WINEPREFIX=" + Quoted(prefix_) + " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' WINEARCH=win64\n"
        "unset DISPLAY WAYLAND_DISPLAY\n"
        "cd " + Quoted(work_) + " || exit 1\n" + (display ? kVirtualDisplay : "") +
        // The server ends at once when the prefix's directory is not there.
        "mkdir -p \"$WINEPREFIX\" || exit 1\n"
        // A server left elsewhere for this prefix would make the sockets there.
        "wineserver -k 2>/dev/null; wineserver -w 2>/dev/null\n"
        // Out of the terminal's process group, where a Ctrl+C would end it.
        "setsid wineserver -f -p >wineserver.log 2>&1 </dev/null &\n"
        "server=$!\n"
        "[ \"$(readlink /proc/$server/ns/net)\" = \"$self\" ] || { echo 'refused: Wine server elsewhere' >&2; exit " +
        std::to_string(kServerElsewhere) + "; }\n"
        "run() {\n" + commands + "\n}\n"
        "run; status=$?\n"
        "wineserver -k; wait $server\n" + (display ? "kill $xvfb; wait $xvfb\n" : "") +
        "exit $status\n";
  }

  std::vector<LanRouter> routers_{{"r1", {kRouter}}};
  std::string pcRoute_ = "none";
  std::unique_ptr<VirtualLan> lan_;
  std::string bin_;
  std::string work_;
  std::string received_;
  std::string prefix_;
};

TEST_F(WineUpgradeTest, BundledUpgraderDeliversTheFirmwareOverHttpByteForByte) {
  StartRouter({"--password", "admin"});
  const Bytes firmware = Firmware(400000, 3);
  WriteWorkFile("firmware.bin", firmware);
  std::filesystem::copy_file(bin_ + "/fwbundle.exe", work_ + "/fwbundle.exe");

  const CommandResult result = RunUnderWine(
      BundleCommands("wine fwbundle.exe", UnattendedPut("admin"), "--upgrade firmware.bin") +
      " || return 90\n"
      "wine upgrader.exe </dev/null");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Imbed File Attrib : 4096")) << result.out;
  EXPECT_TRUE(Has(result.out, "Login password correct in New version")) << result.out;
  EXPECT_TRUE(Has(result.out, std::string("Unsing HTTP upgrade mode to : ") + kRouter));
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u) << lan_->RecordOf("r1");
  EXPECT_TRUE(received[0] == firmware) << "the router must hold the firmware byte for byte";
}

// A user whose names lie outside any ANSI code page, twice: the bundled
// upgrader runs from a folder named in Cyrillic and Chinese, with such a
// temporary directory and entry name; then it is given a firmware file in
// that folder, typed with forward slashes. Wine takes the temporary
// directory from the prefix's registry: the test sets it there and puts
// the prefix's own value back.
TEST_F(WineUpgradeTest, NonLatinFoldersAndNamesAreUsedWholeAndShownWithBackslashes) {
  // Back at once after the first upgrade's reboot, for the second.
  StartRouter({"--password", "admin", "--reboot-delay", "0"});
  const std::string temp = work_ + "/Временные 临时";
  const std::string folder = temp + "/Прошивка 固件";
  std::filesystem::create_directories(folder);
  const Bytes bundled = Firmware(200000, 4);
  const Bytes typed = Firmware(300000, 9);
  ASSERT_TRUE(WriteWholeFile(folder + "/固件.bin", bundled));
  ASSERT_TRUE(WriteWholeFile(folder + "/fw.bin", typed));
  Bundle(UnattendedPut("admin"), "--upgrade " + Quoted(folder + "/固件.bin"));
  std::filesystem::copy_file(work_ + "/upgrader.exe", folder + "/upgrader.exe");
  const auto windowsPath = [](std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
  };
  const std::string upgrader = Quoted(windowsPath(folder) + "\\upgrader.exe");
  // Wine's reg.exe loses such a value on its command line; a registry
  // file in UTF-16 carries it whole.
  std::string escaped = windowsPath(temp);
  for (std::size_t at = 0; (at = escaped.find('\\', at)) != std::string::npos; at += 2) escaped.insert(at, 1, '\\');
  const std::u16string registry =
      Utf8ToUtf16("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Environment]\r\n\"TMP\"=\"" +
                  escaped + "\"\r\n").text;
  Bytes registryFile;
  for (const char16_t unit : registry) registryFile.insert(registryFile.end(), {std::uint8_t(unit), std::uint8_t(unit >> 8)});
  WriteWorkFile("temp.reg", registryFile);

  const CommandResult result = RunUnderWine(
      "wine reg export 'HKCU\\Environment' environment.reg /y >/dev/null || return 91\n"
      "wine regedit /S temp.reg || return 92\n"
      "wine " + upgrader + " </dev/null; bundled=$?\n"
      "wine " + upgrader + " put " + kRouter + " admin null " + Quoted("Z:" + folder + "/fw.bin") + " </dev/null; typed=$?\n"
      "wine reg delete 'HKCU\\Environment' /v TMP /f >/dev/null; wine reg import environment.reg >/dev/null\n"
      "echo \"exit $bundled $typed\"");

  EXPECT_TRUE(Has(result.out, "exit 0 0")) << result.out << result.err;
  const std::string extracted = windowsPath(temp) + "\\fwupgrade-";
  EXPECT_TRUE(Has(result.out, "Imbed file 1 : " + extracted)) << result.out;
  EXPECT_TRUE(Has(result.out, "\\固件.bin.tmp")) << "the entry's own name";
  EXPECT_TRUE(Has(result.out, "Put Upgrade File without IDCheck >>" + windowsPath(folder) + "\\fw.bin")) << result.out;
  EXPECT_TRUE(Received() == (std::vector<Bytes>{bundled, typed})) << "byte for byte, " << lan_->RecordOf("r1");
}

// A lost acknowledgement on the way: the retry timer runs under Wine too.
TEST_F(WineUpgradeTest, CrashedRouterIsRecoveredByTftpAndReboots) {
  StartRouter({"--crashed", "--reboot-delay", "300", "--tftp-lose-ack", "5"});
  const Bytes firmware = Firmware(300000, 11);
  WriteWorkFile("firmware.bin", firmware);
  Bundle(UnattendedPut(""), "--upgrade firmware.bin");

  const CommandResult result = RunUnderWine("wine upgrader.exe </dev/null");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, std::string("Unsing TFTP upgrade mode to : ") + kRouter)) << result.out;
  EXPECT_TRUE(Has(result.out, "No answer from router, send again: 1")) << "the lost acknowledgement";
  EXPECT_TRUE(Has(result.out, " Recover Success"));
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u) << lan_->RecordOf("r1");
  EXPECT_TRUE(received[0] == firmware) << "the router must hold the image byte for byte";
  EXPECT_TRUE(lan_->WaitForRecord("r1", "rebooted")) << lan_->RecordOf("r1");
}

TEST_F(WineUpgradeTest, OlderRouterIsUpgradedByFtpInOneLogin) {
  StartRouter({"--password", "admin", "--generation", "old"});
  const Bytes first = Firmware(400000, 6);
  const Bytes second = Firmware(5000, 2);
  WriteWorkFile("firmware.bin", first);
  WriteWorkFile("kernel.bin", second);
  Bundle(UnattendedPut("admin"), "--upgrade firmware.bin --upgrade kernel.bin");

  const CommandResult result = RunUnderWine("wine upgrader.exe </dev/null");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Total upgrade file count in FTP mode: 2")) << result.out;
  EXPECT_TRUE(Has(result.out, std::string("Unsing FTP upgrade to : ") + kRouter + " success"));
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), "ftp USER root\nftp PASS\n")) << lan_->RecordOf("r1");
  const auto received = Received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_TRUE(received[0] == first && received[1] == second) << "byte for byte, in table order";
}

// Ctrl+C in the middle of an upload, as Wine hands it on from the terminal:
// the console control handler ends the run in order, as failed, and the
// private temporary directory goes with it.
TEST_F(WineUpgradeTest, CtrlCMidUploadEndsTheRunAsFailedAndLeavesNoTemporaryFiles) {
  // The router stops reading, so the interrupt finds the upload under way.
  StartRouter({"--password", "admin", "--stall-after", "20000"});
  WriteWorkFile("firmware.bin", Firmware(2000000, 5));
  Bundle(UnattendedPut("admin", 60), "--upgrade firmware.bin");
  // A background job of sh ignores SIGINT unless told otherwise. The
  // router's record, not the upgrader's output, says when: a Windows
  // program keeps its output to a file in its buffer until it ends.
  const CommandResult result = RunUnderWine(
      "temp=$(ls -d \"$WINEPREFIX\"/drive_c/users/*/Temp); before=$(ls -A \"$temp\")\n"
      "env --default-signal=INT wine upgrader.exe </dev/null >upgrader.out 2>&1 &\n"
      "pid=$!; i=0\n"
      "until grep -q 'upload stalled' " + Quoted(lan_->RecordPath("r1")) +
      " || [ $i -ge 600 ]; do sleep 0.1; i=$((i+1)); done\n"
      // Killed after ten seconds, well inside the minute of time-out: the
      // interrupt itself must end the blocked upload.
      "kill -INT $pid; (sleep 10; kill -KILL $pid) >/dev/null 2>&1 & watchdog=$!\n"
      "wait $pid; echo \"exit $?\"; kill $watchdog 2>/dev/null\n"
      "[ \"$(ls -A \"$temp\")\" = \"$before\" ] || echo \"left in $temp: $(ls -A \"$temp\")\"");

  const std::string out = ToText(ReadWholeFile(work_ + "/upgrader.out").value_or(Bytes{}));
  EXPECT_EQ(result.out, "exit 1\n") << out << result.err;
  EXPECT_NE(out.find("Program ended by SIGINT"), std::string::npos) << out;
}

// A Windows console reading a line is not ended by every console when
// Ctrl+C comes (Wine's is not): the request itself must end the prompt.
TEST_F(WineUpgradeTest, CtrlCAtThePasswordPromptOfATerminalEndsTheRun) {
  StartRouter({"--password", "admin"});
  WriteWorkFile("own.bin", Firmware(100, 1));
  PtySession session;
  ASSERT_TRUE(StartOnTerminal(session, "wine fwupgrade-cli.exe set " + std::string(kRouter) + " null null own.bin"));
  ASSERT_TRUE(session.WaitFor("Router (number or address)", 60000)) << session.Screen();
  // Wine's console takes the terminal's keys as they are only once its read
  // has begun, a moment after the question is shown.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  session.Type("\r");
  // Wine draws the space after the colon as a cursor move.
  ASSERT_TRUE(session.WaitFor("Password:", 10000)) << session.Screen();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  session.Type("adm\x03");
  EXPECT_EQ(session.WaitForExit(30000), 1) << session.Screen();
  EXPECT_TRUE(Has(session.Screen(), "NOT upgraded: ended by SIGINT")) << session.Screen();
  EXPECT_FALSE(Has(lan_->RecordOf("r1"), "http")) << "the cut-short password was not tried";
}

// Two routers of one model: the fleet upgrades both, each by a child
// upgrader of its own, reads their progress through the pipes, and checks
// that both come back. The PC has a default route here: under Wine the
// search's broadcast leaves by the routing table only, not out of each
// interface by itself.
class WineFleetTest : public WineUpgradeTest {
 protected:
  WineFleetTest() {
    routers_ = {{"r1", {kRouter}}, {"r2", {kSecondRouter}}};
    pcRoute_ = "lan";
  }
};

TEST_F(WineFleetTest, FleetUpgradesTwoRoutersAndReportsBothVerified) {
  for (const char* router : {"r1", "r2"}) {
    const std::string store = received_ + "/" + router;
    std::filesystem::create_directory(store);
    ASSERT_TRUE(lan_->StartRouter(router, {"--password", "admin", "--info-after", "v2", "--reboot-delay", "500",
                                           "--store-dir", store}))
        << lan_->Error();
  }
  const Bytes firmware = Firmware(300000, 7);
  WriteWorkFile("firmware.bin", firmware);

  const CommandResult result =
      RunUnderWine("wine fwupgrade-cli.exe fleet --password admin --romid QRT --verify-timeout 30 firmware.bin </dev/null");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "2 verified, 0 not verified, 0 failed, 0 skipped")) << result.out << result.err;
  for (const char* router : {"r1", "r2"}) {
    const auto received = StoredFiles(received_ + "/" + router);
    ASSERT_EQ(received.size(), 1u) << lan_->RecordOf(router);
    EXPECT_TRUE(received[0] == firmware) << router << " must hold the firmware byte for byte";
  }
}

// "get" with the stretch at 100 (the digits after "0x" read as decimal).
class WineRomDownloadTest : public WineUpgradeTest {
 protected:
  void StartRomRouter(std::vector<std::string> args) {
    rom_.resize(8192);
    for (std::size_t i = 0; i < rom_.size(); ++i) rom_[i] = static_cast<std::uint8_t>(i * 7 + 1);
    WriteWorkFile("router.rom", rom_);
    args.insert(args.end(), {"--password", "admin", "--rom-data", work_ + "/router.rom"});
    StartRouter(args);
    WriteWorkFile("firmware.bin", Firmware(100, 1));
    Bundle("", "--upgrade firmware.bin");
  }
  CommandResult Get() const {
    return RunUnderWine(std::string("wine upgrader.exe get ") + kRouter + " admin null 0x100 5000 saved.bin </dev/null");
  }
  std::optional<Bytes> Saved(const std::string& name = "saved.bin") const { return ReadWholeFile(work_ + "/" + name); }
  // 0x100 is 256 to FTP; over HTTP its digits go to the router as written.
  Bytes Stretch(std::ptrdiff_t offset) const { return Bytes(rom_.begin() + offset, rom_.begin() + offset + 5000); }

  Bytes rom_;
};

TEST_F(WineRomDownloadTest, GetSavesTheStretchByFtp) {
  StartRomRouter({});
  const CommandResult result = Get();
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Get ROM data success")) << result.out;
  EXPECT_FALSE(Has(result.out, "Try to use HTTP Get method."));
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), "ftp RETR 256#5000"));
  EXPECT_EQ(Saved(), Stretch(256));
}

// The earlier file is kept as .BAK: a rename over Windows' file rules.
TEST_F(WineRomDownloadTest, GetFallsBackToHttpAndKeepsTheOldFile) {
  StartRomRouter({"--no-ftp"});
  WriteWorkFile("saved.bin", ToBytes("earlier download"));
  const CommandResult result = Get();
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Try to use HTTP Get method.")) << result.out;
  EXPECT_EQ(Saved(), Stretch(100));
  EXPECT_EQ(Saved("saved.bin.BAK"), ToBytes("earlier download"));
}

// The window program with a display, unattended: a bundle behind
// fwupgrade.exe with a put control file shows its window, upgrades by
// itself, closes, and tells the outcome by its exit status.
class WineWindowTest : public WineUpgradeTest {
 protected:
  void SetUp() override {
    WineUpgradeTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!FileExists(work_ + "/fwupgrade.exe")) GTEST_SKIP() << "no fwupgrade.exe in " << bin_;
  }

  // Runs the bundled window; a window titled `watched` seen on the display
  // meanwhile leaves its name in the file "seen".
  CommandResult RunWindow(const std::string& watched = "") const {
    const std::string watch =
        watched.empty() ? ""
                        : "(for _ in $(seq 300); do xwininfo -root -tree 2>/dev/null | grep -q " +
                              Quoted("\"" + watched + "\"") + " && { echo seen >seen; break; }; sleep 0.1; done) &\n";
    return RunUnderWine(watch + "wine upgrader.exe", true);
  }

  bool Seen() const { return FileExists(work_ + "/seen"); }
};

TEST_F(WineWindowTest, HttpUpgradeAfterTheStartNoticeStoresTheFirmwareByteForByte) {
  StartRouter({"--password", "admin"});
  const Bytes firmware = Firmware(400000, 8);
  WriteWorkFile("firmware.bin", firmware);
  WriteWorkFile("notice.rtf", ToBytes("{\\rtf1\\ansi {\\b Keep} the router powered.\\par}"));
  const CommandResult notice = lan_->RunInPc("cd " + Quoted(work_) + " && " + Quoted(VirtualLan::BinPath("fwbundle")) +
                                             " message -o notice.msg --rtf notice.rtf --caption 'Before you upgrade'"
                                             " --display-time 10 --no-tftp 1 --no-ftp 1");
  ASSERT_EQ(notice.exitStatus, 0) << notice.out << notice.err;
  Bundle(UnattendedPut("admin"), "--upgrade firmware.bin --message notice.msg", "fwupgrade.exe");

  const CommandResult result = RunWindow("Before you upgrade");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err << lan_->RecordOf("r1");
  EXPECT_TRUE(Seen()) << "the start notice was on screen";
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u) << lan_->RecordOf("r1");
  EXPECT_TRUE(received[0] == firmware) << "the router must hold the firmware byte for byte";
}

TEST_F(WineWindowTest, OlderRouterIsUpgradedByFtpThroughTheWindow) {
  StartRouter({"--password", "admin", "--generation", "old"});
  const Bytes firmware = Firmware(300000, 4);
  WriteWorkFile("firmware.bin", firmware);
  Bundle(UnattendedPut("admin"), "--upgrade firmware.bin", "fwupgrade.exe");

  const CommandResult result = RunWindow("Firmware Upgrade  V1.1.1");

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err << lan_->RecordOf("r1");
  EXPECT_TRUE(Seen()) << "the window was on screen";
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), "ftp USER root\nftp PASS\n")) << lan_->RecordOf("r1");
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_TRUE(received[0] == firmware) << "byte for byte";
}

TEST_F(WineWindowTest, CrashedRouterIsRecoveredByTftpThroughTheWindow) {
  StartRouter({"--crashed", "--reboot-delay", "300"});
  const Bytes firmware = Firmware(300000, 12);
  WriteWorkFile("firmware.bin", firmware);
  Bundle(UnattendedPut(""), "--upgrade firmware.bin", "fwupgrade.exe");

  const CommandResult result = RunWindow();

  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err << lan_->RecordOf("r1");
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u) << lan_->RecordOf("r1");
  EXPECT_TRUE(received[0] == firmware) << "the router must hold the image byte for byte";
  EXPECT_TRUE(lan_->WaitForRecord("r1", "rebooted")) << lan_->RecordOf("r1");
}

}  // namespace
}  // namespace fwu
