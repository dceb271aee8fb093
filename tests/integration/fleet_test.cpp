// `fwupgrade-cli fleet` against a LAN of simulated routers, each with its
// own way to succeed or fail: what a technician meets in a rack.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "integration/vlan_fixture.h"
#include "platform/files.h"

namespace fwu {
namespace {

Bytes Firmware(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 197 + 11) ^ (i >> 10));
  return bytes;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct SimRouter {
  std::string name;
  std::string address;
  std::vector<std::string> args;
};

// The lines of the JSON Lines log with this event, by address.
std::map<std::string, std::string> EventsByAddress(const std::string& log, const std::string& event) {
  std::map<std::string, std::string> found;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (!Has(line, "\"event\": \"" + event + "\"")) continue;
    const std::size_t at = line.find("\"address\": \"");
    if (at != std::string::npos) found[line.substr(at + 12, line.find('"', at + 12) - at - 12)] = line;
  }
  return found;
}

class FleetTest : public ::testing::Test {
 protected:
  void SetUp() override { FWU_REQUIRE_VIRTUAL_LAN(); }

  void StartLan(const std::vector<SimRouter>& routers) {
    std::vector<LanRouter> nodes;
    for (const SimRouter& r : routers) nodes.push_back({r.name, {r.address}, true});
    lan_ = std::make_unique<VirtualLan>(std::move(nodes), "none");
    ASSERT_TRUE(lan_->Up()) << lan_->Error();
    firmware_ = Firmware(200000);
    file_ = lan_->Dir() + "image.bin";
    ASSERT_TRUE(WriteWholeFile(file_, firmware_));
    for (const SimRouter& r : routers) {
      const std::string store = StoreOf(r.name);
      std::filesystem::create_directory(store);
      std::vector<std::string> args = r.args;
      args.insert(args.end(), {"--store-dir", store});
      ASSERT_TRUE(lan_->StartRouter(r.name, args)) << lan_->Error();
    }
  }

  std::string StoreOf(const std::string& router) const { return lan_->Dir() + router + "-store"; }

  CommandResult Fleet(const std::string& options, int timeoutMs = 90000) {
    return lan_->RunInPc(VirtualLan::BinPath("fwupgrade-cli") + " fleet " + options + " </dev/null", timeoutMs);
  }

  std::unique_ptr<VirtualLan> lan_;
  Bytes firmware_;
  std::string file_;
};

TEST_F(FleetTest, EightRoutersEachGetTheirVerdict) {
  const std::vector<SimRouter> routers{
      {"Http", "192.168.20.1", {"--password", "pw", "--info", "v1", "--info-after", "v2", "--reboot-delay", "500"}},
      {"Ftp", "192.168.21.1", {"--password", "pw", "--generation", "old", "--info-after", "v2", "--reboot-delay", "500"}},
      {"FtpHttp", "192.168.22.1",
       {"--password", "pw", "--generation", "old", "--no-ftp", "--info-after", "v2", "--reboot-delay", "500"}},
      {"Crashed", "192.168.23.1", {"--crashed", "--info-after", "v2", "--reboot-delay", "500"}},
      {"Other", "192.168.24.1", {"--password", "pw", "--rom-id", "ZRT900"}},
      {"Secret", "192.168.25.1", {"--password", "secret"}},
      {"Stalls", "192.168.26.1", {"--password", "pw", "--stall-after", "30000"}},
      {"Gone", "192.168.27.1", {"--password", "pw", "--reboot-delay", "600000"}},
  };
  StartLan(routers);
  const std::string log = lan_->Dir() + "fleet.jsonl";
  const std::string backups = lan_->Dir() + "backups";
  const std::string common = "--password wrong --password pw --romid QRT --recover --jobs 8 --verify-timeout 8 ";
  const std::string backup = "--backup " + backups + " --rom 16:4096 ";

  // A dry run plans and logs in, and sends nothing.
  const CommandResult dry = Fleet(common + backup + "--dry-run " + file_);
  EXPECT_EQ(dry.exitStatus, 0) << dry.out << dry.err;
  EXPECT_TRUE(Has(dry.out, "plan: 8 routers")) << dry.out;
  for (const SimRouter& r : routers) {
    EXPECT_FALSE(Has(lan_->RecordOf(r.name), "upload")) << r.name;
    EXPECT_FALSE(Has(lan_->RecordOf(r.name), "ftp STOR")) << r.name;
  }
  EXPECT_FALSE(Has(lan_->RecordOf("Other"), "http GET /cgi-bin/logi")) << "another model gets no login";
  EXPECT_TRUE(std::filesystem::is_empty(backups)) << "a dry run asks for no ROM data";

  const CommandResult run = Fleet(common + backup + "--log " + log + " " + file_);
  EXPECT_EQ(run.exitStatus, 1) << run.out << run.err;
  EXPECT_TRUE(Has(run.out, "4 verified, 1 not verified, 2 failed, 1 skipped")) << run.out;
  for (const char* name : {"Http", "Ftp", "FtpHttp", "Crashed", "Gone"}) {
    const auto stored = StoredFiles(StoreOf(name));
    ASSERT_EQ(stored.size(), 1u) << name;
    EXPECT_TRUE(stored[0] == firmware_) << name << " must hold the firmware byte for byte";
  }
  EXPECT_TRUE(StoredFiles(StoreOf("Other")).empty());
  EXPECT_TRUE(StoredFiles(StoreOf("Secret")).empty());
  EXPECT_FALSE(Has(lan_->RecordOf("Other"), "http GET /cgi-bin/logi"));

  const Bytes logged = ReadWholeFile(log).value_or(Bytes());
  const auto done = EventsByAddress(std::string(logged.begin(), logged.end()), "router-done");
  const std::map<std::string, std::vector<std::string>> expected{
      {"192.168.20.1",
       {"\"method\": \"http\"", "\"result\": \"verified\"", "\"info_before\": \"v1\"", "\"info_after\": \"v2\"",
        "\"backup\": \"" + backups + "/192.168.20.1-QRT101-"}},
      {"192.168.21.1", {"\"method\": \"ftp\"", "\"result\": \"verified\""}},
      {"192.168.22.1", {"\"method\": \"http-after-ftp\"", "\"result\": \"verified\""}},
      {"192.168.23.1",
       {"\"method\": \"tftp\"", "\"result\": \"verified\"", "\"backup\": null", "nothing to back up"}},
      {"192.168.24.1", {"\"method\": null", "\"result\": \"skipped\"", "\"reason\": \"other model\""}},
      {"192.168.25.1", {"\"result\": \"failed\"", "\"reason\": \"password refused\""}},
      {"192.168.26.1", {"\"method\": \"http\"", "\"result\": \"failed\"", "Abnormal Terminate"}},
      {"192.168.27.1", {"\"result\": \"not-verified\"", "\"reason\": \"no answer in 8 s\""}},
  };
  for (const auto& [address, parts] : expected) {
    ASSERT_TRUE(done.count(address)) << address;
    for (const std::string& part : parts) EXPECT_TRUE(Has(done.at(address), part)) << done.at(address);
  }

  // The ROM data of the five routers that got so far, as `get` saves it
  // (the simulator's byte at offset x is x % 251), and nothing half-written.
  int saved = 0;
  for (const auto& entry : std::filesystem::directory_iterator(backups)) {
    const Bytes rom = ReadWholeFile(entry.path().string()).value_or(Bytes());
    ASSERT_EQ(rom.size(), 4096u) << entry.path();
    for (std::size_t i = 0; i < rom.size(); ++i) ASSERT_EQ(rom[i], (16 + i) % 251) << entry.path();
    ++saved;
  }
  EXPECT_EQ(saved, 5) << "Http, Ftp, FtpHttp, Stalls and Gone; not the crashed one";

  // Run again for what is left: the upgraded routers are already current.
  const CommandResult again =
      Fleet(common + "--target-info v2 --only 192.168.20.1,192.168.21.1,192.168.23.1 " + file_);
  EXPECT_EQ(again.exitStatus, 0) << again.out << again.err;
  EXPECT_TRUE(Has(again.out, "0 verified, 0 not verified, 0 failed, 3 skipped")) << again.out;
  EXPECT_EQ(StoredFiles(StoreOf("Http")).size(), 1u) << "nothing sent twice";
}

TEST_F(FleetTest, CtrlCEndsTheRunInOrderAndStillSummarises) {
  StartLan({{"Stalls", "192.168.30.1", {"--password", "pw", "--stall-after", "30000"}}});
  const std::string temp = lan_->Dir() + "tmp";
  std::filesystem::create_directory(temp);
  // In the foreground, as on a terminal: a shell starts background jobs
  // with SIGINT ignored. The watcher interrupts once the upload stalls.
  const std::string command = "( for i in $(seq 200); do grep -q 'upload stalled' " + lan_->RecordPath("Stalls") +
                              " && break; sleep 0.05; done; kill -INT $$ ) & TMPDIR=" + temp + " exec " +
                              VirtualLan::BinPath("fwupgrade-cli") + " fleet --password pw --romid QRT " + file_ +
                              " </dev/null";
  const CommandResult result = lan_->RunInPc(command, 30000);
  EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "summary (interrupted):")) << result.out;
  EXPECT_TRUE(Has(result.out, "failed")) << result.out;
  EXPECT_TRUE(Has(result.out, "interrupted")) << result.out;
  EXPECT_TRUE(std::filesystem::is_empty(temp)) << "no temporary file may stay";
}

}  // namespace
}  // namespace fwu
