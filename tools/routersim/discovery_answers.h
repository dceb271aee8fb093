#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/bytes.h"

namespace fwu {

// The four discovery probes a router may be asked, and the datagrams it
// answers with. Pure functions, so the layouts are tested without sockets.
enum class ProbeKind { Query, Boot, Recovery, Default };

// Ways to answer wrongly, each a case the client's reader must survive.
enum class Malformation {
  None,
  TooLong,     // longer than the client's read buffer for that probe
  TagAtZero,   // recovery tag at byte 0 instead of 4
  NoZero,      // the last text runs to the end of the datagram without a 0 byte
  TwoAnswers,  // every answer sent twice
};

// Which of the two marks a boot answer carries; the client accepts either.
enum class BootMark { Both, OpC1, Hops10, Neither };

struct RouterIdentity {
  std::string romId = "QRT101";
  std::string info = "Router";
  BootMark bootMark = BootMark::Both;
};

std::string ProbeKindName(ProbeKind kind);

// The kind of probe a datagram to localPort is, or nothing for other traffic
// (e.g. TFTP requests other than the recovery probe's read of "VN").
std::optional<ProbeKind> ClassifyProbe(std::uint16_t localPort, const Bytes& payload);

// The ROM ID a boot probe carries in its boot-file field (bytes 108-123).
std::string BootProbeRomId(const Bytes& probe);

Bytes BuildAnswer(ProbeKind kind, const Bytes& probe, const RouterIdentity& identity,
                  Malformation malformation);

namespace discovery_layout {
inline constexpr std::size_t kQueryAnswerSize = 68;
inline constexpr std::size_t kQueryInfoAt = 12;
inline constexpr std::size_t kQueryRomIdAt = 44;
inline constexpr std::size_t kBootAnswerSize = 548;
inline constexpr std::size_t kBootRomIdAt = 108;
inline constexpr std::size_t kBootInfoAt = 140;
inline constexpr std::size_t kRecoveryTagAt = 4;
inline constexpr std::size_t kRecoveryLimit = 516;
inline constexpr std::size_t kDefaultLimit = 64;
inline constexpr char kRecoveryTag[] = "$Quelby";
}  // namespace discovery_layout

}  // namespace fwu
