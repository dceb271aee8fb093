#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bundle/bundle_writer.h"
#include "bundle/initial_setting.h"
#include "integration/vlan_fixture.h"

namespace fwu {

// The console upgrader against simulated routers in a virtual LAN.
inline constexpr const char* kRouter = "192.168.123.254";

Bytes Firmware(std::size_t size, std::uint8_t seed);
// A control record that presets nothing and waits for the user.
InitialSetting Control(std::uint8_t flags = 0x9F);
// An unattended run set up by the vendor's control file: address,
// password and "put" inside the bundle.
InitialSetting PutControl(const std::string& password, std::uint8_t flags = 0x9F);
bool Has(const std::string& text, const std::string& part);

class CliLanTest : public ::testing::Test {
 protected:
  void SetUp() override { FWU_REQUIRE_VIRTUAL_LAN(); }

  // r1 at kRouter, any other routers of the same LAN, and the PC's default
  // route as `vlan up --pc-route` takes it.
  void StartLan(bool echo = true, std::vector<LanRouter> others = {}, const std::string& pcRoute = "lan");
  void StartRouter(std::vector<std::string> args);
  // The console upgrader with a bundle of this control record and entries.
  std::string Upgrader(const InitialSetting& control, std::vector<BundleEntry> entries);
  std::vector<Bytes> Received() const { return StoredFiles(received_); }
  CommandResult Run(const std::string& arguments, int timeoutMs = 20000);

  std::unique_ptr<VirtualLan> lan_;
  std::string received_;
  std::string upgrader_;
};

}  // namespace fwu
