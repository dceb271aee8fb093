#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace fwu {

// What a run did, as the console's last line reports it.
struct RunFacts {
  bool romDownload = false;
  bool succeeded = false;
  std::string address;  // the router acted on; empty when none was
  std::string romId;
  std::int16_t upgradeState = 0;
  std::vector<std::string> fileNames;  // sent, or the ROM data's file
  std::uint64_t bytes = 0;
  double seconds = 0;
  std::string endedBy;                   // a termination request, or empty
  std::vector<MessageRequest> messages;  // the boxes the run showed
  std::string fallbackReason;            // when neither says why it failed
};

// One line: "fwupgrade: 192.168.10.1 (R1A) upgraded by HTTP with fw.bin
// (4.0 MB) in 3.3 s", or "fwupgrade: 192.168.10.1 NOT upgraded: Incorrect
// password".
std::string VerdictLine(const RunFacts& facts);

// "4.0 MB", "512 KB", "100 bytes".
std::string SizeText(std::uint64_t bytes);

}  // namespace fwu
