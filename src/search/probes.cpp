#include "search/probes.h"

#include <algorithm>
#include <string_view>

#include "platform/printable_text.h"

namespace fwu {

namespace {

constexpr std::size_t kBootProbeSize = 548;
// The boot-file field of a BOOTP message carries the ROM ID.
constexpr std::size_t kBootFileOffset = 108;
constexpr std::size_t kBootRomIdChars = 15;
constexpr std::string_view kRecoveryTag = "$Quelby";
constexpr std::size_t kRecoveryTagOffset = 4;

// A text ends at its first 0 byte, or at the end of the datagram when it
// has none. Any device on the LAN may answer, so what it says is filed
// printable: the table's texts go to the list, the log and terminals.
std::string TextAt(std::span<const std::uint8_t> datagram, std::size_t offset) {
  if (offset >= datagram.size()) return {};
  const auto rest = datagram.subspan(offset);
  const auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
  return PrintableText(std::string(rest.begin(), end));
}

bool IsBootReply(std::span<const std::uint8_t> datagram) {
  if (datagram.empty()) return false;
  return datagram[0] == 0xC1 || (datagram.size() > 3 && datagram[3] == 0x10);
}

bool HasRecoveryTag(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < kRecoveryTagOffset + kRecoveryTag.size()) return false;
  return std::equal(kRecoveryTag.begin(), kRecoveryTag.end(), datagram.begin() + kRecoveryTagOffset);
}

}  // namespace

Bytes BuildProbe(ProbeKind kind, const std::string& romId) {
  switch (kind) {
    case ProbeKind::Query: return Bytes{'Q', 'D', 0, 0};
    case ProbeKind::Boot: {
      Bytes probe(kBootProbeSize, 0);
      probe[0] = 0xC0;
      probe[1] = 0x01;
      probe[2] = 0x01;
      const std::string_view text(romId.c_str());  // a 0-terminated string in the probe
      std::copy_n(text.begin(), std::min(text.size(), kBootRomIdChars), probe.begin() + kBootFileOffset);
      return probe;
    }
    case ProbeKind::Recovery: return Bytes{0x00, 0x01, 'V', 'N', 0x00, 'o', 'c', 't', 'e', 't', 0x00};
    case ProbeKind::DefaultAddress: return Bytes{'Q', 'Q', 0};
  }
  return {};
}

std::uint16_t ProbePort(ProbeKind kind) {
  switch (kind) {
    case ProbeKind::Boot: return 67;
    case ProbeKind::Recovery: return 69;
    case ProbeKind::Query:
    case ProbeKind::DefaultAddress: return 9;
  }
  return 0;
}

const char* ProbeName(ProbeKind kind) {
  switch (kind) {
    case ProbeKind::Query: return "query";
    case ProbeKind::Boot: return "boot";
    case ProbeKind::Recovery: return "recovery";
    case ProbeKind::DefaultAddress: return "default-address";
  }
  return "";
}

std::size_t ReadBufferSize(ProbeKind kind) {
  switch (kind) {
    case ProbeKind::Query: return 68;
    case ProbeKind::Boot: return 548;
    case ProbeKind::Recovery: return 516;
    case ProbeKind::DefaultAddress: return 64;
  }
  return 0;
}

std::optional<AnswerTexts> ParseAnswer(ProbeKind kind, std::span<const std::uint8_t> datagram) {
  switch (kind) {
    case ProbeKind::Query: return AnswerTexts{TextAt(datagram, 44), TextAt(datagram, 12)};
    case ProbeKind::Boot:
      if (!IsBootReply(datagram)) return std::nullopt;
      return AnswerTexts{TextAt(datagram, 108), TextAt(datagram, 140)};
    case ProbeKind::Recovery:
      if (!HasRecoveryTag(datagram)) return std::nullopt;
      return AnswerTexts{TextAt(datagram, kRecoveryTagOffset), "unknown"};
    case ProbeKind::DefaultAddress: return AnswerTexts{"default IP", "unknown"};
  }
  return std::nullopt;
}

std::optional<std::int32_t> StatusCode(ProbeKind kind, bool reachable, bool listed) {
  switch (kind) {
    case ProbeKind::Query:
    case ProbeKind::Boot:
      if (reachable) return listed ? -2 : 1;
      return listed ? -5 : 4;
    case ProbeKind::Recovery:
      if (reachable) return listed ? -1 : 0;
      return listed ? -4 : 3;
    case ProbeKind::DefaultAddress:
      if (reachable) return listed ? std::nullopt : std::optional<std::int32_t>(2);
      return listed ? -6 : 5;
  }
  return std::nullopt;
}

}  // namespace fwu
