// Answers to the discovery probes, from any device on the LAN. The first
// byte picks the probe and whether the sender echoes; the rest is the
// datagram, cut as the probe's read buffer would.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "platform/printable_text.h"
#include "search/device_table.h"
#include "search/probes.h"
#include "search/search_result_lines.h"

namespace {

// A text of the answer is a run of the datagram's own bytes that stops
// before a 0 byte, filed printable: nothing a device sends can reach the
// list, the log or a terminal as a control character.
bool ComesFrom(const std::string& text, std::span<const std::uint8_t> datagram) {
  const auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  if (std::any_of(text.begin(), text.end(), control)) return false;
  return fwu::PrintableText(std::string(datagram.begin(), datagram.end())).find(text) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto kind = static_cast<fwu::ProbeKind>(data[0] & 3);
  const bool reachable = (data[0] & 4) != 0;
  const std::span<const std::uint8_t> datagram(data + 1, std::min(size - 1, fwu::ReadBufferSize(kind)));
  const auto texts = fwu::ParseAnswer(kind, datagram);
  if (!texts) return 0;
  if (kind == fwu::ProbeKind::Query || kind == fwu::ProbeKind::Boot) {
    FUZZ_CHECK(ComesFrom(texts->romId, datagram) && ComesFrom(texts->info, datagram));
  }
  if (kind == fwu::ProbeKind::Recovery) {
    FUZZ_CHECK(texts->romId.rfind("$Quelby", 0) == 0 && ComesFrom(texts->romId, datagram));
  }

  // Filed twice, as a device that answers two probes is.
  fwu::DeviceTable table;
  const std::string address = "192.168.1.254";
  for (const bool listed : {false, true}) {
    const auto status = fwu::StatusCode(kind, reachable, listed);
    if (!status) continue;
    table.Add({*status, address, texts->romId, texts->info});
  }
  for (const fwu::DeviceEntry& entry : table.Entries()) {
    for (const int detail : {fwu::kSearchDetailShort, fwu::kSearchDetailFull}) {
      // The main window reads the address back up to the line's first blank.
      const std::string line = fwu::ResultLine(entry, detail);
      FUZZ_CHECK(line.substr(0, line.find(' ')) == address);
    }
  }
  FUZZ_CHECK(table.Lookup(address).has_value() == (table.Count() > 0));
  return 0;
}
