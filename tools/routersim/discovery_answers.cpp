#include "discovery_answers.h"

#include <algorithm>
#include <cstring>

namespace fwu {

namespace {

using namespace discovery_layout;

// Longer than every read buffer of the client (68, 548, 516 and 64 bytes).
constexpr std::size_t kTooLongQuery = 100;
constexpr std::size_t kTooLongBoot = 600;
constexpr std::size_t kTooLongRecovery = 600;
constexpr std::size_t kTooLongDefault = 100;

constexpr std::size_t kBootProbeRomIdField = 16;
constexpr std::uint8_t kTftpData = 3;

// Writes text into a field of fieldSize bytes at offset, cut so that a 0
// byte always ends it inside the field.
void PutField(Bytes& out, std::size_t offset, std::size_t fieldSize, const std::string& text) {
  const std::size_t length = std::min(text.size(), fieldSize - 1);
  std::copy_n(text.begin(), length, out.begin() + static_cast<std::ptrdiff_t>(offset));
  out[offset + length] = 0;
}

// A field filled to its whole width with the text and blanks, no 0 byte.
void PutFullField(Bytes& out, std::size_t offset, std::size_t fieldSize, const std::string& text) {
  std::string filled = text.substr(0, fieldSize);
  filled.resize(fieldSize, ' ');
  std::copy(filled.begin(), filled.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Appends the last text of an answer, which ends the datagram: with a 0 byte
// after it, or without one for NoZero. The datagram stays within limit.
void AppendLastText(Bytes& out, const std::string& text, std::size_t limit, Malformation malformation) {
  const bool zero = malformation != Malformation::NoZero;
  const std::size_t room = limit - out.size() - (zero ? 1 : 0);
  const std::string cut = text.substr(0, room);
  out.insert(out.end(), cut.begin(), cut.end());
  if (zero) out.push_back(0);
}

// The last field of a fixed-size answer: a 0-terminated field, or for
// NoZero the text alone, ending the datagram.
void PutLastText(Bytes& out, std::size_t offset, std::size_t fieldSize, const std::string& text,
                 Malformation malformation) {
  if (malformation == Malformation::NoZero) {
    out.resize(offset);
    AppendLastText(out, text, offset + fieldSize, malformation);
  } else {
    PutField(out, offset, fieldSize, text);
  }
}

void PutEarlierText(Bytes& out, std::size_t offset, std::size_t fieldSize, const std::string& text,
                    Malformation malformation) {
  if (malformation == Malformation::NoZero) PutFullField(out, offset, fieldSize, text);
  else PutField(out, offset, fieldSize, text);
}

Bytes QueryAnswer(const RouterIdentity& identity, Malformation malformation) {
  Bytes out(kQueryAnswerSize, 0);
  out[0] = 'Q';
  out[1] = 'D';
  out[2] = 1;  // marks an answer, as opposed to the probe's 0
  PutEarlierText(out, kQueryInfoAt, kQueryRomIdAt - kQueryInfoAt, identity.info, malformation);
  PutLastText(out, kQueryRomIdAt, kQueryAnswerSize - kQueryRomIdAt, identity.romId, malformation);
  if (malformation == Malformation::TooLong) out.resize(kTooLongQuery, 0);
  return out;
}

Bytes BootAnswer(const Bytes& probe, const RouterIdentity& identity, Malformation malformation) {
  Bytes out(kBootAnswerSize, 0);
  const bool opC1 = identity.bootMark == BootMark::Both || identity.bootMark == BootMark::OpC1;
  const bool hops = identity.bootMark == BootMark::Both || identity.bootMark == BootMark::Hops10;
  out[0] = opC1 ? 0xC1 : 0x02;  // 0x02 is a plain BOOTP reply
  out[1] = 1;
  out[2] = 6;
  out[3] = hops ? 0x10 : 0x00;
  // Echo the transaction id, as a BOOTP server does.
  for (std::size_t i = 4; i < 8 && i < probe.size(); ++i) out[i] = probe[i];
  PutEarlierText(out, kBootRomIdAt, kBootInfoAt - kBootRomIdAt, identity.romId, malformation);
  PutLastText(out, kBootInfoAt, kBootAnswerSize - kBootInfoAt, identity.info, malformation);
  if (malformation == Malformation::TooLong) out.resize(kTooLongBoot, 0);
  return out;
}

Bytes RecoveryAnswer(const RouterIdentity& identity, Malformation malformation) {
  // A TFTP data block 1 whose payload starts with the tag, then the ROM ID.
  Bytes out = {0, kTftpData, 0, 1};
  out.resize(malformation == Malformation::TagAtZero ? 0 : kRecoveryTagAt);
  AppendLastText(out, kRecoveryTag + identity.romId, kRecoveryLimit, malformation);
  if (malformation == Malformation::TooLong) out.resize(kTooLongRecovery, 0);
  return out;
}

Bytes DefaultAnswer(const RouterIdentity& identity, Malformation malformation) {
  Bytes out = {'Q', 'Q', 1, 0};
  AppendLastText(out, identity.romId, kDefaultLimit, malformation);
  if (malformation == Malformation::TooLong) out.resize(kTooLongDefault, 0);
  return out;
}

bool StartsWith(const Bytes& payload, const char* text) {
  const std::size_t length = std::strlen(text);
  return payload.size() >= length && std::equal(text, text + length, payload.begin());
}

}  // namespace

std::string ProbeKindName(ProbeKind kind) {
  switch (kind) {
    case ProbeKind::Query: return "query";
    case ProbeKind::Boot: return "boot";
    case ProbeKind::Recovery: return "recovery";
    case ProbeKind::Default: return "default";
  }
  return "unknown";
}

std::optional<ProbeKind> ClassifyProbe(std::uint16_t localPort, const Bytes& payload) {
  constexpr std::uint8_t kRecoveryRequest[] = {0, 1, 'V', 'N', 0};
  switch (localPort) {
    case 9:
      if (StartsWith(payload, "QD")) return ProbeKind::Query;
      if (StartsWith(payload, "QQ")) return ProbeKind::Default;
      return std::nullopt;
    case 67:
      if (payload.size() >= kBootRomIdAt + kBootProbeRomIdField) return ProbeKind::Boot;
      return std::nullopt;
    case 69:
      if (payload.size() >= sizeof kRecoveryRequest &&
          std::equal(std::begin(kRecoveryRequest), std::end(kRecoveryRequest), payload.begin())) {
        return ProbeKind::Recovery;
      }
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::string BootProbeRomId(const Bytes& probe) {
  if (probe.size() <= kBootRomIdAt) return {};
  const auto begin = probe.begin() + static_cast<std::ptrdiff_t>(kBootRomIdAt);
  return std::string(begin, std::find(begin, probe.end(), 0));
}

Bytes BuildAnswer(ProbeKind kind, const Bytes& probe, const RouterIdentity& identity,
                  Malformation malformation) {
  switch (kind) {
    case ProbeKind::Query: return QueryAnswer(identity, malformation);
    case ProbeKind::Boot: return BootAnswer(probe, identity, malformation);
    case ProbeKind::Recovery: return RecoveryAnswer(identity, malformation);
    case ProbeKind::Default: return DefaultAnswer(identity, malformation);
  }
  return {};
}

}  // namespace fwu
