// The console upgrader, with a bundle appended to it, against a simulated
// router in a virtual LAN: what an installer sees on a real network.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "integration/cli_test_support.h"
#include "integration/routersim_test_support.h"
#include "notice/message_file.h"
#include "platform/files.h"

namespace fwu {
namespace {

using CliUpgradeTest = CliLanTest;

TEST_F(CliUpgradeTest, UnattendedHttpUpgradeDeliversTheFirmwareByteForByte) {
  StartLan();
  StartRouter({"--password", "admin"});
  const Bytes firmware = Firmware(300000, 7);
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, firmware}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Program Version V1.1.1e"));
  EXPECT_TRUE(Has(result.out, "Imbed File Attrib : 4096"));
  EXPECT_TRUE(Has(result.out, "Login password correct in New version"));
  EXPECT_TRUE(Has(result.out, "Unsing HTTP upgrade mode to : 192.168.123.254"));
  EXPECT_TRUE(Has(result.out, "HTTP upgrade section :"));
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_TRUE(received[0] == firmware) << "the router must hold the firmware byte for byte";
}

TEST_F(CliUpgradeTest, PutWithAFileFromTheCommandLine) {
  StartLan();
  StartRouter({"--password", "pw"});
  const Bytes firmware = Firmware(70000, 3);
  const std::string file = lan_->Dir() + "own.bin";
  ASSERT_TRUE(WriteWholeFile(file, firmware));
  upgrader_ = Upgrader(Control(), {{"bundled.bin", 0x080D, Firmware(1000, 9)}});
  const CommandResult result = Run(std::string("put ") + kRouter + " pw null " + file);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_TRUE(received[0] == firmware) << "the command line's file replaces the bundle's";
}

TEST_F(CliUpgradeTest, WrongPasswordIsRefused) {
  StartLan();
  StartRouter({"--password", "admin"});
  upgrader_ = Upgrader(PutControl("wrong"), {{"firmware.bin", 0x080D, Firmware(1000, 1)}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(Has(result.out, "Login password error in New version"));
  EXPECT_TRUE(Has(result.err,
                  "message: Authentication Failed: Incorrect password. Please check and input again!"));
  EXPECT_TRUE(Has(result.err, "status: Your input password is incorrect, please check again."));
  EXPECT_TRUE(Has(result.err, "\nfwupgrade: 192.168.123.254 NOT upgraded: Incorrect password\n")) << result.err;
  EXPECT_TRUE(Received().empty());
}

TEST_F(CliUpgradeTest, RouterThatNobodyFoundIsNotInTheTable) {
  StartLan();
  StartRouter({"--password", "admin"});
  // No default-address probes: they would find the router on its factory
  // address and put it into the list in place of the typed one.
  InitialSetting control = PutControl("admin", 0x1F);
  control.SetText(InitialSetting::kDstIP, "192.168.123.77");
  upgrader_ = Upgrader(control, {{"firmware.bin", 0x080D, Firmware(1000, 1)}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(Has(result.out, "Read Select Router Infomation Error"));
  EXPECT_TRUE(Has(result.err, "message: Router information not found: "));
  EXPECT_TRUE(Received().empty());
}

TEST_F(CliUpgradeTest, RouterSilentToEchoIsUnreachable) {
  StartLan(false);
  StartRouter({"--password", "admin"});
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, Firmware(1000, 1)}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(Has(result.out, "Unconnect to router : 192.168.123.254"));
  EXPECT_TRUE(Has(result.err, "message: Router connection failure: Unconnect to router"));
}

TEST_F(CliUpgradeTest, StalledUploadEndsAfterTheTimeOut) {
  StartLan();
  StartRouter({"--password", "admin", "--stall-after", "20000"});
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, Firmware(2000000, 5)}});
  const CommandResult result = Run("", 30000);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(Has(result.out, "StopCounter : 3"));
  EXPECT_TRUE(Has(result.err,
                  "message: HTTP Upgrade Failure: Upgrade Abnormal Terminate and Please ReRun the program to ReUpgrade"));
}

TEST_F(CliUpgradeTest, FactoryReleaseShowsNoSuccessBoxAndDoesNotEndByItself) {
  StartLan();
  StartRouter({"--password", "admin"});
  InitialSetting control = PutControl("admin", 0x8F);  // 0x10 clear: factory
  control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodSet);
  upgrader_ = Upgrader(control, {{"firmware.bin", 0x080D, Firmware(5000, 4)}});
  // Attended: keep the preset router, type the password at the prompt.
  const CommandResult result = lan_->RunInPc("printf '\\nadmin\\n' | " + upgrader_, 20000);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Program release to Factory"));
  EXPECT_FALSE(Has(result.err, "message: Success:"));
  EXPECT_EQ(Received().size(), 1u);
}

TEST_F(CliUpgradeTest, SectionCheckWarnsWhenASectionWasNotSent) {
  StartLan();
  StartRouter({"--password", "admin", "--rom-id", "QRT101"});
  // Sections B and C are in the bundle; the router takes B only, as the
  // file of section C is meant for another router family.
  upgrader_ = Upgrader(PutControl("admin", 0x9F | 0x40),
                       {{"firmware.bin", 0x082D, Firmware(4000, 1)}, {"OTHER9.bin", 0x083E, Firmware(4000, 2)}});
  const CommandResult result = Run("");
  EXPECT_TRUE(Has(result.out, "Total section list : BC"));
  EXPECT_TRUE(Has(result.err, "message: Upgrade Warning: Upgrade Not complete, please run this program again !"));
  EXPECT_EQ(Received().size(), 1u);
  EXPECT_EQ(result.exitStatus, 1) << "an incomplete upgrade is no success";
}

TEST_F(CliUpgradeTest, HttpFirstOverridesTheFtpOfAnOlderRouter) {
  StartLan();
  StartRouter({"--password", "admin", "--generation", "old"});
  InitialSetting control = PutControl("admin");
  control.SetByte(InitialSetting::kMethodOrderOffset, 1);
  const Bytes firmware = Firmware(9000, 6);
  upgrader_ = Upgrader(control, {{"firmware.bin", 0x080D, firmware}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Old version detect"));
  EXPECT_TRUE(Has(result.out, "HTTP upgrade method first used."));
  EXPECT_TRUE(Has(result.out, "Unsing HTTP upgrade mode to : 192.168.123.254"));
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_TRUE(Received()[0] == firmware);
}

TEST_F(CliUpgradeTest, AttendedRunListsTheRoutersAndAsks) {
  StartLan();
  StartRouter({"--password", "pw", "--rom-id", "HOME42", "--info", "Attic"});
  const Bytes firmware = Firmware(20000, 8);
  upgrader_ = Upgrader(Control(), {{"firmware.bin", 0x080D, firmware}});
  // The query and the boot probe both find it: one router, one line.
  const CommandResult result = lan_->RunInPc("printf '1\\npw\\n' | " + upgrader_, 20000);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.err, "1 router found\n  1)  192.168.123.254  running  HOME42  Attic\nRouter")) << result.err;
  EXPECT_FALSE(Has(result.err, "devices found"));
  EXPECT_TRUE(Has(result.err, "Password: "));
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_TRUE(Received()[0] == firmware);
}

TEST_F(CliUpgradeTest, OlderRouterIsUpgradedByFtpInOneLogin) {
  StartLan();
  StartRouter({"--password", "admin", "--generation", "old"});
  const Bytes first = Firmware(400000, 6);
  const Bytes second = Firmware(5000, 2);
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, first}, {"kernel.bin", 0x080D, second}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Old version detect"));
  EXPECT_TRUE(Has(result.out, "Unsing FTP upgrade mode to : 192.168.123.254"));
  EXPECT_TRUE(Has(result.out, "Total upgrade file count in FTP mode: 2"));
  EXPECT_TRUE(Has(result.out, "Unsing FTP upgrade to : 192.168.123.254 success"));
  const std::string record = lan_->RecordOf("r1");
  EXPECT_TRUE(Has(record, "ftp USER root\nftp PASS\n")) << record;
  EXPECT_TRUE(Has(record, "ftp STOR firmware.bin")) << "stored under its name, without the extraction's suffix";
  const auto received = Received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_TRUE(received[0] == first && received[1] == second) << "byte for byte, in table order";
}

TEST_F(CliUpgradeTest, CtrlCDuringAnFtpUploadNeverHandsTheRouterAWholeLookingImage) {
  StartLan();
  StartRouter({"--password", "admin", "--generation", "old"});
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, Firmware(4000000, 4)}});
  // A slow link, so that Ctrl+C finds the image on its way.
  const std::string dir = lan_->Dir();
  const std::string script = "tc qdisc add dev eth0 root tbf rate 8mbit burst 32kbit latency 400ms && cd " + dir +
                             " && env --default-signal=INT " + upgrader_ + " >out 2>err & pid=$!; i=0; "
                             "until grep -q 'ftp STOR' " + lan_->RecordPath("r1") + " || [ $i -ge 150 ]; do "
                             "sleep 0.1; i=$((i+1)); done; sleep 1; kill -INT $pid; wait $pid; echo \"exit $?\"; "
                             // The reset travels behind the data still queued on the slow link.
                             "i=0; until grep -q 'ftp aborted\\|ftp stored' " + lan_->RecordPath("r1") +
                             " || [ $i -ge 100 ]; do sleep 0.1; i=$((i+1)); done";
  const CommandResult result = lan_->RunInPc(script, 30000);
  const std::string out = ToText(ReadWholeFile(dir + "out").value_or(Bytes{}));
  EXPECT_EQ(result.out, "exit 1\n") << out << result.err;
  EXPECT_TRUE(Has(out, "Program ended by SIGINT")) << out;
  const std::string record = lan_->RecordOf("r1");
  EXPECT_TRUE(Has(record, "ftp aborted name=firmware.bin")) << record;
  EXPECT_FALSE(Has(record, "ftp stored")) << record;
}

TEST_F(CliUpgradeTest, OlderRouterRefusingTheImageByFtpIsUpgradedOverHttp) {
  StartLan();
  StartRouter({"--password", "admin", "--generation", "old", "--ftp-stor-answer", "429"});
  const Bytes firmware = Firmware(60000, 4);
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, firmware}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Unsing FTP upgrade mode fail : 192.168.123.254Unknow exception :429 ")) << result.out;
  EXPECT_TRUE(Has(result.out, "FTP Mode upgrade fail last time..."));
  EXPECT_TRUE(Has(result.out, "Unsing HTTP upgrade mode to : 192.168.123.254"));
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_TRUE(Received()[0] == firmware);
}

TEST_F(CliUpgradeTest, OlderRouterRefusingTheFileEndsTheRunAsFailed) {
  StartLan();
  StartRouter({"--password", "admin", "--generation", "old", "--ftp-stor-answer", "550"});
  upgrader_ = Upgrader(PutControl("admin"), {{"firmware.bin", 0x080D, Firmware(6000, 4)}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
  EXPECT_TRUE(Has(result.err, "message: Authentication Failed: Upgrade File Error")) << result.err;
  EXPECT_FALSE(Has(result.out, "Unsing HTTP upgrade mode to"));
  EXPECT_TRUE(Received().empty());
}

class CliRomDownloadTest : public CliUpgradeTest {
 protected:
  void StartRomRouter(std::vector<std::string> args) {
    StartLan();
    rom_.resize(8192);
    for (std::size_t i = 0; i < rom_.size(); ++i) rom_[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const std::string romFile = lan_->Dir() + "router.rom";
    ASSERT_TRUE(WriteWholeFile(romFile, rom_));
    args.insert(args.end(), {"--password", "admin", "--rom-data", romFile});
    StartRouter(args);
    upgrader_ = Upgrader(Control(), {{"firmware.bin", 0x080D, Firmware(100, 1)}});
  }
  // "get", address, password, ROM ID, offset, length, file.
  CommandResult Get(const std::string& offset, const std::string& length) {
    return lan_->RunInPc("cd " + lan_->Dir() + " && " + upgrader_ + " get " + kRouter + " admin null " + offset + " " +
                             length + " saved.bin",
                         20000);
  }
  Bytes Rom(std::size_t offset, std::size_t length) const {
    return Bytes(rom_.begin() + static_cast<std::ptrdiff_t>(offset),
                 rom_.begin() + static_cast<std::ptrdiff_t>(offset + length));
  }
  Bytes rom_;
};

TEST_F(CliRomDownloadTest, GetSavesTheStretchByFtp) {
  StartRomRouter({});
  // A hexadecimal offset is read as one: 0x100 is 256.
  const CommandResult result = Get("0x100", "5000");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Try FTP Get Method first..."));
  EXPECT_TRUE(Has(result.out, "Data=256#5000"));
  EXPECT_TRUE(Has(result.out, "Get ROM data success"));
  EXPECT_FALSE(Has(result.out, "Try to use HTTP Get method."));
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), "ftp RETR 256#5000"));
  const auto saved = ReadWholeFile(lan_->Dir() + "saved.bin");
  ASSERT_TRUE(saved.has_value());
  EXPECT_TRUE(*saved == Rom(256, 5000));
}

TEST_F(CliRomDownloadTest, GetFallsBackToHttpAndKeepsTheOldFile) {
  StartRomRouter({"--no-ftp"});
  ASSERT_TRUE(WriteWholeFile(lan_->Dir() + "saved.bin", ToBytes("earlier download")));
  const CommandResult result = Get("100", "5000");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Unknow exception with NO Connect "));
  EXPECT_TRUE(Has(result.out, "Try to use HTTP Get method."));
  const auto saved = ReadWholeFile(lan_->Dir() + "saved.bin");
  ASSERT_TRUE(saved.has_value());
  EXPECT_TRUE(*saved == Rom(100, 5000));
  EXPECT_EQ(ReadWholeFile(lan_->Dir() + "saved.bin.BAK"), ToBytes("earlier download"));
}

TEST_F(CliUpgradeTest, DeliveredLayoutStartsSearchesAndLeavesNoTemporaryFiles) {
  StartLan();
  StartRouter({"--rom-id", "QRT101", "--info", "Home"});
  InitialSetting control = Control(0x19);
  control.SetByte(InitialSetting::kTimeOutOffset, 50);
  control.SetByte(InitialSetting::kMethodOrderOffset, 2);
  MessageFile notice;  // the delivered notice, as WordPad writes it in China, shown for a tenth of the time
  notice.messageCaption = "\xB9\xD8\xD3\xDA";
  notice.displayTime = 10;
  notice.noTftpFlag = notice.noFtpFlag = 1;
  notice.noBlink = 1;
  notice.rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0\\fs20 Read this \\b first\\b0 : "
               "\\'c7\\'eb\\'ce\\'f0\\'b6\\'cf\\'b5\\'e7.\\par}";
  upgrader_ = Upgrader(control, {{"firmware.bin", 0x080D, Firmware(316217, 2)}, {"notice.tmp", 0x040D, notice.Serialize()}});
  const std::string temp = lan_->Dir() + "tmp";
  std::filesystem::create_directory(temp);
  // Nobody answers the prompts: the run ends after the search.
  const CommandResult result = lan_->RunInPc("TMPDIR=" + temp + " " + upgrader_ + " </dev/null", 20000);
  for (const char* line : {"Program Version V1.1.1e", "Imbed File Attrib : 4096", "Imbed File Attrib : 2061",
                           "Imbed File Attrib : 1037", "Set Time out value to : 50", "FTP upgrade method first used.",
                           "Program release to User", "Disnabled Section ID check."}) {
    EXPECT_TRUE(Has(result.out, line)) << line;
  }
  const std::string rule(60, '-');
  EXPECT_TRUE(Has(result.err, "notice: 关于\n" + rule + "\nRead this first: 请勿断电.\n" + rule + "\n")) << result.err;
  EXPECT_TRUE(Has(result.err, "1 router found"));
  EXPECT_TRUE(Has(result.err, "192.168.123.254"));
  EXPECT_TRUE(std::filesystem::is_empty(temp)) << "every extracted file and directory is gone";
}

// A crashed router recovered the way installers do it: a laptop cabled to
// the LAN with no gateway, the upgrader run by an ordinary user, other
// routers on the same LAN, the vendor's control file naming the router, and
// nobody watching.
TEST_F(CliUpgradeTest, CrashedRouterIsRecoveredByTftpAndRebootsIntoARunningRouter) {
  StartLan(true, {{"r2", {"192.168.123.20"}}}, "none");
  StartRouter({"--crashed", "--reboot-delay", "300", "--tftp-lose-ack", "5", "--tftp-repeat-ack", "9"});
  ASSERT_TRUE(lan_->StartRouter("r2", {"--password", "admin"})) << lan_->Error();
  const Bytes firmware = Firmware(300000, 11);
  upgrader_ = Upgrader(PutControl(""), {{"firmware.bin", 0x080D, firmware}});
  ASSERT_EQ(chmod(lan_->Dir().c_str(), 0755), 0) << "the ordinary user runs the upgrader from there";
  const CommandResult result =
      lan_->RunInPc("setpriv --reuid=nobody --regid=nogroup --clear-groups " + upgrader_ + " </dev/null", 40000);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Unsing TFTP upgrade mode to : 192.168.123.254"));
  EXPECT_TRUE(Has(result.out, "No answer from router, send again: 1")) << "the lost acknowledgement";
  EXPECT_TRUE(Has(result.out, " Recover Success"));
  EXPECT_TRUE(Has(result.out, "Total upgrade file count in TFTP mode: 1"));
  EXPECT_FALSE(Has(result.out, "StopCounter : 4"));
  const auto received = Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_TRUE(received[0] == firmware) << "the router must hold the image byte for byte";
  EXPECT_TRUE(lan_->WaitForRecord("r1", "rebooted"));
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), "tftp reboot from 192.168.123.100:"));
  EXPECT_FALSE(Has(lan_->RecordOf("r2"), "tftp")) << "only the named router is sent anything";
  EXPECT_FALSE(Has(lan_->RecordOf("r2"), "http"));
  const auto answers = SendProbe(*lan_, "query", kRouter);
  EXPECT_EQ(answers.size(), 1u) << "after the reboot it answers as a running router";
}

TEST_F(CliUpgradeTest, RouterThatRefusesTheImageMidFileFailsTheRecovery) {
  StartLan();
  StartRouter({"--crashed", "--tftp-fail-at", "40"});
  upgrader_ = Upgrader(PutControl(""), {{"firmware.bin", 0x080D, Firmware(100000, 12)}});
  const CommandResult result = Run("");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(Has(result.out, "Recover process not be accept for router."));
  EXPECT_TRUE(Has(result.err, "message: Upgrade Failure: Upgrade Not Success, Please Run Again !"));
  EXPECT_TRUE(Has(lan_->RecordOf("r1"), "tftp failed at block 40"));
  EXPECT_FALSE(Has(lan_->RecordOf("r1"), "tftp reboot"));
}

// Attended: the success box, the section check and a new search, which now
// finds the router running.
TEST_F(CliUpgradeTest, AttendedRecoveryShowsSuccessAndSearchesAgain) {
  StartLan();
  StartRouter({"--crashed", "--reboot-delay", "1000"});
  InitialSetting control = Control(0x9F | 0x40);
  control.SetText(InitialSetting::kDstIP, kRouter);
  upgrader_ = Upgrader(control, {{"firmware.bin", 0x083D, Firmware(50000, 13)}});
  const CommandResult result = lan_->RunInPc("printf '\\n\\n' | " + upgrader_, 40000);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.err, "message: Recover Success: Recover Complete !")) << result.err;
  EXPECT_TRUE(Has(result.out, "TFTP upgrade section :C"));
  EXPECT_FALSE(Has(result.err, "Upgrade Again"));
  EXPECT_EQ(Received().size(), 1u);
  const std::string record = lan_->RecordOf("r1");
  const auto rebooted = record.find("rebooted");
  ASSERT_NE(rebooted, std::string::npos) << record;
  EXPECT_TRUE(Has(record.substr(rebooted), "probe query")) << "a new search after the recovery";
}

// Three routers, each at an address the search also probes by default:
// whichever way the user names one, only that one receives the image.
class NamedRouterTest : public CliUpgradeTest {
 protected:
  static constexpr std::array<const char*, 3> kRouters{"192.168.123.254", "192.168.0.1", "192.168.1.254"};

  void StartThreeRouters() {
    std::vector<LanRouter> routers;
    for (std::size_t i = 0; i < kRouters.size(); ++i) routers.push_back({"r" + std::to_string(i), {kRouters[i]}});
    lan_ = std::make_unique<VirtualLan>(routers);
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    for (std::size_t i = 0; i < kRouters.size(); ++i) {
      const std::string store = StoreOf(i);
      std::filesystem::create_directory(store);
      // Each also answers the probe of the default addresses, which every
      // search sends, the search of one address too.
      ASSERT_TRUE(lan_->StartRouter("r" + std::to_string(i), {"--password", "admin", "--answer", "query,boot,default",
                                                              "--store-dir", store}))
          << lan_->Error();
    }
  }
  std::string StoreOf(std::size_t router) const { return lan_->Dir() + "store" + std::to_string(router); }

  // Images received per router, in the order of kRouters; the stores are
  // emptied for the next run.
  std::vector<std::size_t> TakeImageCounts() const {
    std::vector<std::size_t> counts;
    for (std::size_t i = 0; i < kRouters.size(); ++i) {
      counts.push_back(StoredFiles(StoreOf(i)).size());
      for (const auto& entry : std::filesystem::directory_iterator(StoreOf(i))) std::filesystem::remove(entry);
    }
    return counts;
  }
};

TEST_F(NamedRouterTest, OnlyTheRouterNamedReceivesTheImage) {
  StartThreeRouters();
  const std::string file = lan_->Dir() + "own.bin";
  ASSERT_TRUE(WriteWholeFile(file, Firmware(5000, 3)));
  const std::vector<BundleEntry> bundled{{"firmware.bin", 0x080D, Firmware(5000, 4)}};

  upgrader_ = Upgrader(Control(), bundled);
  CommandResult result = Run(std::string("put ") + kRouters[0] + " admin null " + file);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_EQ(TakeImageCounts(), (std::vector<std::size_t>{1, 0, 0})) << "put on the command line";

  InitialSetting control = PutControl("admin");
  control.SetText(InitialSetting::kDstIP, kRouters[1]);
  upgrader_ = Upgrader(control, bundled);
  result = Run("");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_EQ(TakeImageCounts(), (std::vector<std::size_t>{0, 1, 0})) << "the control file's address";

  // Attended: the address typed at the prompt (Enter searches it), then the password.
  upgrader_ = Upgrader(Control(), bundled);
  result = lan_->RunInPc("printf '" + std::string(kRouters[2]) + "\\nadmin\\n' | " + upgrader_, 30000);
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_EQ(TakeImageCounts(), (std::vector<std::size_t>{0, 0, 1})) << "an address typed at the prompt";

  result = Run("put 192.168.1.77 admin null " + file);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_TRUE(Has(result.err, "message: Router information not found: ")) << result.err;
  EXPECT_EQ(TakeImageCounts(), (std::vector<std::size_t>{0, 0, 0})) << "no router in place of one not found";
}

// Ctrl+C at the prompt and SIGTERM in the middle of an upload: each run
// ends at once, as failed, and takes its extracted files with it.
TEST_F(CliUpgradeTest, SignalsEndTheRunInOrderAndLeaveNoTemporaryFiles) {
  StartLan();
  // The router stops reading the upload, so the signal finds it under way.
  StartRouter({"--password", "admin", "--stall-after", "20000"});
  const std::string dir = lan_->Dir();
  struct Case {
    std::string signal;
    InitialSetting control;
    std::string waitFile, waitText;
  };
  InitialSetting patient = PutControl("admin");
  patient.SetByte(InitialSetting::kTimeOutOffset, 60);  // only the signal can end it in time
  for (const Case& c : {Case{"INT", Control(), "err", "Router (number or address)"},
                        Case{"TERM", patient, "out", "Unsing HTTP upgrade mode"}}) {
    upgrader_ = Upgrader(c.control, {{"firmware.bin", 0x080D, Firmware(2000000, 5)}});
    const std::string temp = dir + "tmp-" + c.signal;
    // The upgrader reads a pipe that stays open, as a terminal would; a
    // background job of sh ignores SIGINT unless told otherwise.
    const std::string script = "cd " + dir + " && mkdir " + temp + " && rm -f in && mkfifo in && exec 3<>in && "
                               "TMPDIR=" + temp + " env --default-signal=INT " + upgrader_ + " <in >out 2>err & " +
                               "pid=$!; i=0; until grep -q '" + c.waitText + "' " + dir + c.waitFile +
                               " || [ $i -ge 150 ]; do sleep 0.1; i=$((i+1)); done; sleep 0.3; kill -" + c.signal +
                               " $pid; wait $pid; echo \"exit $?\"; ls -A " + temp;
    const CommandResult result = lan_->RunInPc(script, 25000);
    const Bytes log = ReadWholeFile(dir + "out").value_or(Bytes{});
    const std::string out(log.begin(), log.end());
    EXPECT_EQ(result.out, "exit 1\n") << c.signal << ": " << out << result.err;
    EXPECT_TRUE(Has(out, "Program ended by SIG" + c.signal)) << out;
  }
}

}  // namespace
}  // namespace fwu
