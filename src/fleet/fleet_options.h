#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fwu {

// What `fwupgrade-cli fleet` was asked, read from the words after the verb.
struct FleetOptions {
  static constexpr int kDefaultJobs = 4;
  static constexpr int kMaxJobs = 16;
  static constexpr int kMaxPasswords = 3;  // tried per router
  static constexpr int kDefaultVerifySeconds = 300;

  std::vector<std::string> passwords;
  std::optional<std::string> romIdPrefix;
  std::vector<std::string> only;  // addresses; empty: every router found
  bool recover = false;
  int jobs = kDefaultJobs;
  std::optional<std::string> backupDir;
  struct RomStretch {
    std::string offset;
    std::string length;
  };
  std::optional<RomStretch> rom;
  std::optional<std::string> targetInfo;
  int verifySeconds = kDefaultVerifySeconds;
  std::optional<std::string> logFile;
  bool dryRun = false;
  std::optional<std::string> file;  // the firmware, instead of the bundle's
};

struct ParsedFleetOptions {
  std::optional<FleetOptions> options;
  std::string error;  // why the words are not a fleet command line
};

// Reads the words after "fleet". Nothing here touches the network: a
// wrong command line ends before the search.
ParsedFleetOptions ParseFleetOptions(const std::vector<std::string>& words);

// The usage text of the verb, for --help and usage errors.
const char* FleetUsage();

}  // namespace fwu
