#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "integration/vlan_fixture.h"
#include "platform/bytes.h"

namespace fwu {

// One answer as netprobe prints it: "from ADDR:PORT len N hex HEX".
struct ProbeAnswer {
  std::string from;
  int port = 0;
  Bytes bytes;
};

std::vector<ProbeAnswer> ParseProbeAnswers(const std::string& netprobeOutput);

// Sends the search's probe of the given kind from the PC (from port 68 as
// the upgrader does) and returns every answer seen within waitMs.
std::vector<ProbeAnswer> SendProbe(const VirtualLan& lan, const std::string& kind,
                                   const std::string& address, const std::string& extra = "",
                                   int waitMs = 300);

// The text at offset up to its first 0 byte or the end of the data, as the
// upgrader reads datagram strings.
std::string TextAt(const Bytes& bytes, std::size_t offset);

}  // namespace fwu
