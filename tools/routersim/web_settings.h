#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fwu {

class SwitchTable;

// How the simulated router's web server behaves; one switch per behaviour
// the upgrader's login, upgrade and ROM fetch must handle.
struct WebSettings {
  enum class Generation { New, Old };

  Generation generation = Generation::New;
  std::string password;
  std::uint16_t httpPort = 80;
  std::uint16_t redirectTo = 0;       // 0: no redirect
  bool redirectWithPath = false;      // Location carries "/cgi-bin/logi" after the port
  std::string loginAnswer = "200";    // 200 400 404 404-once 503
  std::string indexAnswer = "200";    // 200 301 400 404 503
  std::string upgradeVerdict = "8000";
  std::string alertText = "Firmware too old";
  std::string storeDir;
  std::string romData;                // empty: a counting pattern
  std::optional<std::uint64_t> stallAfter;
  std::optional<std::uint64_t> closeAfter;
  bool enabled = true;

  void AddSwitches(SwitchTable& table);
};

}  // namespace fwu
