#include "cli/router_list.h"

#include <algorithm>

#include "platform/json_text.h"
#include "platform/printable_text.h"
#include "platform/utf16.h"

namespace fwu {

namespace {

std::string KindOf(std::int32_t status) {
  switch (status) {
    case 1: case -2: return "running";
    case 0: case -1: return "crashed";
    case 2: return "factory default";
    case 3: case 4: case 5: case -4: case -5: case -6: return "no echo";
    default: return "unknown";
  }
}

// Only a query or boot reply carries the router's own ROM ID and info; the
// other answers fill fixed words in.
bool SaysWhatItIs(std::int32_t status) { return status == 1 || status == -2 || status == 4 || status == -5; }

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - std::min(width, text.size()), ' ');
}

// Routers send bytes of no declared encoding: each byte stays itself as a
// code point (U+0000 to U+00FF), so that the list is valid UTF-8 and no two
// different answers read the same.
std::string BytesAsCodePoints(const std::string& bytes) {
  std::u16string units;
  for (const char c : bytes) units += static_cast<char16_t>(static_cast<unsigned char>(c));
  return Utf16ToUtf8(units).text;  // no surrogates: always converts
}

}  // namespace

std::vector<ListedRouter> FoldedRouters(const std::vector<DeviceEntry>& entries) {
  std::vector<ListedRouter> routers;
  std::vector<bool> described;
  for (const DeviceEntry& entry : entries) {
    const auto same = std::find_if(routers.begin(), routers.end(),
                                   [&](const ListedRouter& router) { return router.address == entry.address; });
    if (same == routers.end()) {
      routers.push_back({entry.address, KindOf(entry.status), entry.status, entry.romId, entry.info});
      described.push_back(SaysWhatItIs(entry.status));
      continue;
    }
    const auto index = static_cast<std::size_t>(same - routers.begin());
    if (!described[index] && SaysWhatItIs(entry.status)) {
      same->romId = entry.romId;
      same->info = entry.info;
      described[index] = true;
    }
  }
  return routers;
}

std::vector<std::string> RouterListLines(const std::vector<ListedRouter>& routers) {
  const std::size_t numberWidth = std::to_string(routers.size()).size() + 1;
  std::size_t addressWidth = 0, kindWidth = 0, romIdWidth = 0;
  for (const ListedRouter& router : routers) {
    addressWidth = std::max(addressWidth, router.address.size());
    kindWidth = std::max(kindWidth, router.kind.size());
    romIdWidth = std::max(romIdWidth, PrintableText(router.romId).size());
  }
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < routers.size(); ++i) {
    const ListedRouter& router = routers[i];
    const std::string number = std::to_string(i + 1) + ")";
    std::string line = std::string(2 + numberWidth - number.size(), ' ') + number + "  " +
                       Padded(router.address, addressWidth) + "  " + Padded(router.kind, kindWidth) + "  " +
                       Padded(PrintableText(router.romId), romIdWidth) + "  " + PrintableText(router.info);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string RouterCountText(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " router found" : " routers found");
}

std::string RouterListJson(const std::vector<ListedRouter>& routers) {
  std::string json = "[";
  for (std::size_t i = 0; i < routers.size(); ++i) {
    const ListedRouter& router = routers[i];
    json += (i == 0 ? "\n  " : ",\n  ");
    json += JsonObject()
                .Add("address", router.address)
                .Add("kind", router.kind)
                .Add("status", static_cast<int>(router.status))
                .Add("rom_id", BytesAsCodePoints(router.romId))
                .Add("info", BytesAsCodePoints(router.info))
                .Text();
  }
  return json + (routers.empty() ? "]\n" : "\n]\n");
}

}  // namespace fwu
