#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fwu {

class SwitchTable;

// How the simulated router's FTP server behaves. The password, the store
// directory and the ROM data are the web server's (one router, one set).
struct FtpSettings {
  bool enabled = true;
  std::uint16_t port = 21;
  std::string storAnswer = "150";   // 150, or a refusal: 429, 550
  std::string portAnswer = "200";   // 200, or 500 to refuse the data address
  // After the data of a STOR or RETR: 226; 429 (image rejected); 426 or
  // 451 (transfer aborted); "none": close the control connection instead.
  std::string finalReply = "226";
  std::string silentTo;             // a command (e.g. RETR) the server never answers
  bool noDataConnection = false;    // announce transfers, never open their data connection
  std::optional<std::uint64_t> stallAfter;  // stop reading an image after N bytes
  int refusalDelayMs = 0;           // a wrong password is answered this late
  int readDelayMs = 0;              // a slow link: the image waits this long before it is read
  std::optional<std::uint64_t> cutRetrAfter;
  std::string dataIntruder;         // a third host's address that reaches the data port first  // close a RETR's data connection after N bytes

  void AddSwitches(SwitchTable& table);
};

}  // namespace fwu
