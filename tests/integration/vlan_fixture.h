#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "integration/vlan_process.h"
#include "platform/bytes.h"
#include "platform/temp_dir.h"

namespace fwu {

struct LanRouter {
  std::string name;                    // letters, digits, '_'
  std::vector<std::string> addresses;  // each on a /24
  bool echo = true;                    // false: ignores ICMP echo
};

// A virtual LAN (scripts/vlan) for one test: a PC namespace and one namespace
// per router, removed again when the object goes. Programs run inside it with
// RunInPc; simulated routers with StartRouter.
class VirtualLan {
 public:
  // Why no LAN can be built here (not root, no `ip netns`, no CTest
  // environment), or nothing when it can.
  static std::optional<std::string> WhyUnavailable();
  // FWU_REQUIRE_NETNS=1: a missing LAN fails the test instead of skipping it.
  static bool Required();
  // A program of the build (FWU_BIN_DIR), and scripts/vlan (FWU_SOURCE_DIR).
  static std::string BinPath(const std::string& program);
  static std::string ScriptPath();

  // pcRoute: where the PC's default route is, as `vlan up --pc-route` takes
  // it: "lan" (the routers' link), "none", or "wifi" (a second link).
  explicit VirtualLan(std::vector<LanRouter> routers, const std::string& pcRoute = "lan");
  ~VirtualLan();
  VirtualLan(const VirtualLan&) = delete;
  VirtualLan& operator=(const VirtualLan&) = delete;

  // True when the LAN stands; otherwise Error() says why.
  bool Up() const { return up_; }
  const std::string& Error() const { return error_; }
  const std::string& Name() const { return name_; }
  // A private directory for the test's files, removed with the LAN.
  std::string Dir() const;
  // The PC's addresses, one per router subnet.
  std::vector<std::string> PcAddresses() const;

  // Starts routersim in the router's namespace with args plus --record, and
  // waits until it says "ready". False (with Error()) when it does not.
  bool StartRouter(const std::string& router, const std::vector<std::string>& args = {});
  void StopRouter(const std::string& router);
  std::string RecordOf(const std::string& router) const;
  // Where that record is, for a script that waits on it.
  std::string RecordPath(const std::string& router) const { return Dir() + router + ".record"; }
  // Waits until the router's record holds text; false after timeoutMs.
  bool WaitForRecord(const std::string& router, const std::string& text, int timeoutMs = 3000) const;

  // Runs a shell command (sh -c) in the PC namespace, or argv in any node.
  CommandResult RunInPc(const std::string& command, int timeoutMs = 10000) const;
  CommandResult RunIn(const std::string& node, const std::vector<std::string>& argv,
                      int timeoutMs = 10000) const;

 private:
  std::string name_;
  std::string error_;
  bool up_ = false;
  PrivateTempDir dir_;
  std::map<std::string, std::unique_ptr<BackgroundProcess>> routers_;
};

// The contents of the files routersim stored with --store-dir DIRECTORY,
// in name order: the count routersim puts first keeps up to nine in the
// order received.
std::vector<Bytes> StoredFiles(const std::string& directory);

}  // namespace fwu

// First line of a test (or SetUp) that needs namespaces: skips it with the
// reason, or fails it when FWU_REQUIRE_NETNS=1.
#define FWU_REQUIRE_VIRTUAL_LAN()                                    \
  do {                                                               \
    if (const auto fwuWhyNoLan = ::fwu::VirtualLan::WhyUnavailable()) { \
      if (::fwu::VirtualLan::Required()) FAIL() << *fwuWhyNoLan;     \
      GTEST_SKIP() << *fwuWhyNoLan;                                  \
    }                                                                \
  } while (false)
