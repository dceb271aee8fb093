#include "integration/vlan_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "platform/files.h"

namespace fwu {

namespace {

constexpr int kScriptTimeoutMs = 30000;
constexpr int kReadyTimeoutMs = 5000;

#ifndef FWU_BUILD_SOURCE_DIR
#define FWU_BUILD_SOURCE_DIR ""
#endif
#ifndef FWU_BUILD_BIN_DIR
#define FWU_BUILD_BIN_DIR ""
#endif

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// The environment's directory, else the one this test program was built for.
std::string Directory(const char* variable, const char* builtIn) {
  const std::string fromEnvironment = Env(variable);
  return fromEnvironment.empty() ? builtIn : fromEnvironment;
}

std::string SourceDir() { return Directory("FWU_SOURCE_DIR", FWU_BUILD_SOURCE_DIR); }
std::string BinDir() { return Directory("FWU_BIN_DIR", FWU_BUILD_BIN_DIR); }

// Unique per run and per LAN: pid plus a random part, no '-' (vlan's rule).
std::string UniqueName() {
  std::random_device seed;
  std::ostringstream name;
  name << "fwu" << getpid() << "x" << std::hex << (seed() & 0xffffu);
  return name.str();
}

std::string ReadText(const std::string& path) {
  auto content = ReadWholeFile(path);
  return content ? ToText(*content) : std::string();
}

}  // namespace

std::optional<std::string> VirtualLan::WhyUnavailable() {
  if (SourceDir().empty() || BinDir().empty()) {
    return "FWU_SOURCE_DIR and FWU_BIN_DIR are not set (run the tests through CTest)";
  }
  if (geteuid() != 0) return "network namespaces need root (ip netns); not root";
  const CommandResult probe = RunCommand({"ip", "netns", "list"}, 5000);
  if (probe.exitStatus != 0) return "'ip netns' is not available: " + probe.err;
  return std::nullopt;
}

bool VirtualLan::Required() { return Env("FWU_REQUIRE_NETNS") == "1"; }

std::string VirtualLan::BinPath(const std::string& program) { return BinDir() + "/" + program; }

std::string VirtualLan::ScriptPath() { return SourceDir() + "/scripts/vlan"; }

VirtualLan::VirtualLan(std::vector<LanRouter> routers, const std::string& pcRoute) : name_(UniqueName()) {
  std::vector<std::string> argv = {ScriptPath(), "up", name_, "--pc-route", pcRoute};
  for (const auto& router : routers) {
    std::string argument = router.name + "=";
    for (std::size_t i = 0; i < router.addresses.size(); ++i) {
      argument += (i == 0 ? "" : ",") + router.addresses[i];
    }
    if (!router.echo) argument += ":noecho";
    argv.push_back("--router");
    argv.push_back(argument);
  }
  const CommandResult result = RunCommand(argv, kScriptTimeoutMs);
  up_ = result.exitStatus == 0 && dir_.Valid();
  if (!up_) error_ = "vlan up failed (" + std::to_string(result.exitStatus) + "): " + result.err;
}

VirtualLan::~VirtualLan() {
  for (auto& [name, process] : routers_) process->Stop();
  // Also after a failed `up`: the script cleans up by itself then, and down
  // is idempotent.
  RunCommand({ScriptPath(), "down", name_}, kScriptTimeoutMs);
}

std::string VirtualLan::Dir() const { return dir_.PathWithSeparator(); }

std::vector<std::string> VirtualLan::PcAddresses() const {
  std::istringstream state(ReadText("/run/fwu-vlan/" + name_));
  std::string line;
  while (std::getline(state, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word != "pc") continue;
    std::vector<std::string> addresses;
    while (words >> word) addresses.push_back(word);
    return addresses;
  }
  return {};
}

bool VirtualLan::StartRouter(const std::string& router, const std::vector<std::string>& args) {
  StopRouter(router);
  const std::string base = Dir() + router;
  RemoveFile(RecordPath(router));
  std::vector<std::string> argv = {"ip", "netns", "exec", name_ + "-" + router, BinPath("routersim")};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back("--record");
  argv.push_back(RecordPath(router));
  auto process = std::make_unique<BackgroundProcess>();
  if (!process->Start(argv, base + ".stdout", base + ".stderr")) {
    error_ = "cannot start routersim for " + router;
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadyTimeoutMs);
  while (ReadText(base + ".stdout").find("ready") == std::string::npos) {
    if (process->Exited() || std::chrono::steady_clock::now() > deadline) {
      process->Stop();
      error_ = "routersim " + router + " did not get ready: " + ReadText(base + ".stderr");
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  routers_[router] = std::move(process);
  return true;
}

void VirtualLan::StopRouter(const std::string& router) {
  auto found = routers_.find(router);
  if (found == routers_.end()) return;
  found->second->Stop();
  routers_.erase(found);
}

std::string VirtualLan::RecordOf(const std::string& router) const { return ReadText(RecordPath(router)); }

bool VirtualLan::WaitForRecord(const std::string& router, const std::string& text, int timeoutMs) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (RecordOf(router).find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

CommandResult VirtualLan::RunInPc(const std::string& command, int timeoutMs) const {
  return RunIn("pc", {"sh", "-c", command}, timeoutMs);
}

CommandResult VirtualLan::RunIn(const std::string& node, const std::vector<std::string>& argv,
                                int timeoutMs) const {
  std::vector<std::string> full = {"ip", "netns", "exec", name_ + "-" + node};
  full.insert(full.end(), argv.begin(), argv.end());
  return RunCommand(full, timeoutMs);
}

std::vector<Bytes> StoredFiles(const std::string& directory) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<Bytes> contents;
  for (const auto& file : files) contents.push_back(ReadWholeFile(file.string()).value_or(Bytes{}));
  return contents;
}

}  // namespace fwu
