#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "integration/vlan_fixture.h"
#include "search/device_search.h"

namespace fwu {

// What searchprobe printed: the table, the device list lines and the
// status-bar text of each "show", in order.
struct SearchProbeOutput {
  int exitStatus = -1;
  std::vector<DeviceEntry> entries;
  std::vector<std::string> lines;
  std::vector<std::string> statuses;
  std::vector<std::string> log;
  std::string err;
};

// prefix is shell text put before the program: commands to run first, or a
// program that runs it (setpriv and its switches).
inline SearchProbeOutput RunSearchProbe(const VirtualLan& lan, const std::string& arguments, int timeoutMs = 20000,
                                        const std::string& prefix = "") {
  const CommandResult result =
      lan.RunInPc(prefix + VirtualLan::BinPath("searchprobe") + " " + arguments, timeoutMs);
  SearchProbeOutput output;
  output.exitStatus = result.exitStatus;
  output.err = result.err;
  std::istringstream in(result.out);
  for (std::string text; std::getline(in, text);) {
    if (text.rfind("entry ", 0) == 0) {
      std::istringstream fields(text.substr(6));
      DeviceEntry entry;
      std::string status;
      std::getline(fields, status, '|');
      std::getline(fields, entry.address, '|');
      std::getline(fields, entry.romId, '|');
      std::getline(fields, entry.info);
      entry.status = std::stoi(status);
      output.entries.push_back(entry);
    } else if (text.rfind("line ", 0) == 0) {
      output.lines.push_back(text.substr(5));
    } else if (text.rfind("status ", 0) == 0) {
      output.statuses.push_back(text.substr(7));
    } else if (text.rfind("log ", 0) == 0) {
      output.log.push_back(text.substr(4));
    }
  }
  return output;
}

// The status codes filed for one address, in table order.
inline std::vector<int> CodesOf(const SearchProbeOutput& output, const std::string& address) {
  std::vector<int> codes;
  for (const DeviceEntry& e : output.entries) {
    if (e.address == address) codes.push_back(e.status);
  }
  return codes;
}

}  // namespace fwu
