// The upgrader's HTTP side (login, upload, ROM fetch) against routersim in
// the virtual LAN, run by httpprobe in the PC namespace.
#include <gtest/gtest.h>

#include "integration/vlan_fixture.h"
#include "platform/files.h"

namespace fwu {
namespace {

constexpr char kRouter[] = "192.168.1.1";

std::string PseudoRandom(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<char>(seed >> 16);
  }
  return bytes;
}

class HttpUpgradeLan : public ::testing::Test {
 protected:
  void SetUp() override {
    FWU_REQUIRE_VIRTUAL_LAN();
    lan_ = std::make_unique<VirtualLan>(std::vector<LanRouter>{{"R1", {kRouter}, true}});
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    store_ = lan_->Dir() + "store";
    ASSERT_EQ(RunCommand({"mkdir", store_}, 5000).exitStatus, 0);
  }

  void StartRouter(std::vector<std::string> args) {
    args.insert(args.end(), {"--store-dir", store_});
    ASSERT_TRUE(lan_->StartRouter("R1", args)) << lan_->Error();
  }

  std::string WriteFile(const std::string& name, const std::string& content) const {
    const std::string path = lan_->Dir() + name;
    EXPECT_TRUE(WriteWholeFile(path, ToBytes(content)));
    return path;
  }

  CommandResult Probe(const std::string& arguments, int timeoutMs = 20000) const {
    return lan_->RunInPc(VirtualLan::BinPath("httpprobe") + " " + arguments, timeoutMs);
  }

  static bool Says(const CommandResult& run, const std::string& line) {
    return run.out.find(line + "\n") != std::string::npos;
  }

  std::unique_ptr<VirtualLan> lan_;
  std::string store_;
};

TEST_F(HttpUpgradeLan, ARedirectedNewRouterReceivesExactlyTheSelectedFiles) {
  StartRouter({"--password", "pw", "--redirect-to", "8080"});
  const std::string plain = PseudoRandom(300000, 1);
  const std::string matched = PseudoRandom(70001, 2);
  const std::string files = WriteFile("plain.bin", plain) + ":0x081D " + WriteFile("ROUTERX-fw.bin", matched) +
                            ":0x0826 " + WriteFile("default.bin", "never sent") + ":0x0837";
  const CommandResult run = Probe(std::string("upload ") + kRouter + " pw routerx " + files);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(Says(run, "login 8080")) << run.out;
  EXPECT_TRUE(Says(run, "log: Default Upgrade File Ignore >>" + lan_->Dir() + "default.bin")) << run.out;
  EXPECT_TRUE(Says(run, "text Upgrade Successfully"));
  EXPECT_TRUE(Says(run, "section AB"));
  EXPECT_EQ(ReadWholeFile(store_ + "/1-upgrade.bin"), ToBytes(plain + matched));
  EXPECT_TRUE(lan_->WaitForRecord("R1", "http POST /upg port 8080 length " +
                                            std::to_string(plain.size() + matched.size() + 147) + "\n"))
      << lan_->RecordOf("R1");
}

TEST_F(HttpUpgradeLan, AnOlderRouterAndAWrongPassword) {
  StartRouter({"--generation", "old", "--password", "pw"});
  const std::string file = WriteFile("fw.bin", "image") + ":0x080D";
  const CommandResult refused = Probe(std::string("upload ") + kRouter + " wrong x " + file);
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_TRUE(Says(refused, "login -10")) << refused.out;
  EXPECT_TRUE(Says(refused, "method 3"));
  EXPECT_TRUE(Says(refused, "log: Login password error in Old version"));

  const CommandResult accepted = Probe(std::string("upload ") + kRouter + " pw x " + file);
  EXPECT_TRUE(Says(accepted, "login 80")) << accepted.out;
  EXPECT_TRUE(Says(accepted, "log: Old version detect"));
}

TEST_F(HttpUpgradeLan, AnAlertVerdictBecomesTheFailureText) {
  StartRouter({"--upgrade-verdict", "alert"});
  const CommandResult run = Probe(std::string("upload ") + kRouter + " '' x " + WriteFile("fw.bin", "i") + ":0x080D");
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_TRUE(Says(run, "text Firmware too old")) << run.out;
  EXPECT_TRUE(Says(run, "log: Upgrade failure with no CAS tag"));
}

TEST_F(HttpUpgradeLan, ARouterThatStopsReadingFailsTheSendWithinTheDeadline) {
  StartRouter({"--stall-after", "1000"});
  const std::string file = WriteFile("big.bin", PseudoRandom(24 << 20, 5)) + ":0x080D";
  const CommandResult run = Probe(std::string("upload ") + kRouter + " '' x " + file + " --idle-ms 1500");
  EXPECT_EQ(run.exitStatus, 1) << run.out << run.err;
  EXPECT_TRUE(Says(run, "log: Error :Send Data Error: 10035 Operation would block.")) << run.out;
}

TEST_F(HttpUpgradeLan, TheRomFetchSavesExactlyTheStretchAskedFor) {
  StartRouter({});
  const std::string out = lan_->Dir() + "rom.dat";
  ASSERT_TRUE(WriteWholeFile(out, ToBytes("older copy")));
  const CommandResult run = Probe(std::string("rom ") + kRouter + " '' 100 5000 " + out);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(Says(run, "text Get ROM file success"));
  std::string expected(5000, '\0');
  for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<char>((100 + i) % 251);
  EXPECT_EQ(ReadWholeFile(out), ToBytes(expected));
  EXPECT_EQ(ReadWholeFile(out + ".BAK"), ToBytes("older copy"));
  EXPECT_TRUE(lan_->WaitForRecord("R1", "http GET /config.bin?O=100&L=5000 port 80\n"));
}

}  // namespace
}  // namespace fwu
