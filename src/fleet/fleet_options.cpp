#include "fleet/fleet_options.h"

#include <charconv>
#include <functional>
#include <map>

#include "platform/ipv4_address.h"

namespace fwu {

namespace {

constexpr int kMaxVerifySeconds = 86400;

bool ParseInt(const std::string& text, int low, int high, int& value) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end && value >= low && value <= high;
}

// OFFSET:LENGTH, each in decimal or in hexadecimal after 0x, as `get`
// takes them.
bool ValidRomNumber(const std::string& text) {
  const bool hex = text.size() > 2 && (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0);
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 13) return false;
  for (const char c : digits) {
    const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : c >= '0' && c <= '9';
    if (!ok) return false;
  }
  return true;
}

std::string SplitAddresses(const std::string& list, std::vector<std::string>& into) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = list.find(',', from);
    const std::string address = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    if (!ParseDottedIpv4(address)) return "--only wants dotted IPv4 addresses, not \"" + address + "\"";
    into.push_back(address);
    if (comma == std::string::npos) return {};
    from = comma + 1;
  }
}

}  // namespace

ParsedFleetOptions ParseFleetOptions(const std::vector<std::string>& words) {
  FleetOptions options;
  std::string error;
  using Taker = std::function<std::string(const std::string&)>;
  const std::map<std::string, Taker> withValue{
      {"--password", [&](const std::string& v) { options.passwords.push_back(v); return std::string(); }},
      {"--romid", [&](const std::string& v) { options.romIdPrefix = v; return std::string(); }},
      {"--only", [&](const std::string& v) { return SplitAddresses(v, options.only); }},
      {"--jobs",
       [&](const std::string& v) {
         return ParseInt(v, 1, FleetOptions::kMaxJobs, options.jobs) ? std::string()
                                                                      : "--jobs wants a number from 1 to 16";
       }},
      {"--backup", [&](const std::string& v) { options.backupDir = v; return std::string(); }},
      {"--rom",
       [&](const std::string& v) {
         const std::size_t colon = v.find(':');
         FleetOptions::RomStretch stretch{v.substr(0, colon), colon == std::string::npos ? "" : v.substr(colon + 1)};
         if (!ValidRomNumber(stretch.offset) || !ValidRomNumber(stretch.length)) {
           return std::string("--rom wants OFFSET:LENGTH");
         }
         options.rom = stretch;
         return std::string();
       }},
      {"--target-info", [&](const std::string& v) { options.targetInfo = v; return std::string(); }},
      {"--verify-timeout",
       [&](const std::string& v) {
         return ParseInt(v, 1, kMaxVerifySeconds, options.verifySeconds)
                    ? std::string()
                    : "--verify-timeout wants seconds from 1 to 86400";
       }},
      {"--log", [&](const std::string& v) { options.logFile = v; return std::string(); }},
  };
  for (std::size_t i = 0; i < words.size() && error.empty(); ++i) {
    const std::string& word = words[i];
    if (word == "--recover") {
      options.recover = true;
    } else if (word == "--dry-run") {
      options.dryRun = true;
    } else if (const auto taker = withValue.find(word); taker != withValue.end()) {
      if (i + 1 == words.size()) return {std::nullopt, word + " wants a value"};
      error = taker->second(words[++i]);
    } else if (word.size() > 1 && word[0] == '-') {
      error = "unknown option " + word;
    } else if (options.file) {
      error = "one FILE per run";
    } else {
      options.file = word;
    }
  }
  if (error.empty() && options.file && !options.romIdPrefix) error = "a FILE needs --romid PREFIX";
  if (error.empty() && options.rom && !options.backupDir) error = "--rom needs --backup DIR";
  if (error.empty() && options.passwords.size() > static_cast<std::size_t>(FleetOptions::kMaxPasswords)) {
    error = "at most three --password";
  }
  if (!error.empty()) return {std::nullopt, error};
  return {std::move(options), {}};
}

const char* FleetUsage() {
  return R"(usage: fwupgrade-cli fleet [--password P]... [--romid PREFIX] [--only ADDR[,ADDR...]] [--recover]
                          [--jobs N] [--backup DIR [--rom OFFSET:LENGTH]] [--target-info TEXT]
                          [--verify-timeout S] [--log FILE] [--dry-run] [FILE]

Upgrades every router one search of the LAN finds, several at once, each in
a process of its own, and checks that each comes back running.

  --password P        a password to log in with; up to three, tried in turn
  --romid PREFIX      with FILE: only routers whose ROM ID begins with PREFIX
  --only ADDR,...     only these addresses
  --recover           also recover crashed routers (by TFTP)
  --jobs N            routers worked at once (default 4, at most 16)
  --backup DIR        first save each router's ROM data into DIR
  --rom OFFSET:LENGTH the stretch to save (default: the control file's)
  --target-info TEXT  the info text routers answer with once upgraded;
                      routers already answering it are skipped
  --verify-timeout S  how long to wait for a router to come back (default 300)
  --log FILE          append every event as a line of JSON to FILE
  --dry-run           search, check passwords and choose files; send nothing
  FILE                the firmware for every router, instead of the bundle's

The plan and, at the end, one line per router and the counts go to stdout;
progress goes to stderr. Exit status: 0 when every router worked on was
verified (or was already current) and at least one was, 1 otherwise, 2 on
bad usage or a failed start.
)";
}

}  // namespace fwu
