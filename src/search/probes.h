#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/bytes.h"

namespace fwu {

// The four discovery datagrams and what their answers must look like.
enum class ProbeKind { Query, Boot, Recovery, DefaultAddress };

inline constexpr std::uint16_t kBootClientPort = 68;

Bytes BuildProbe(ProbeKind kind, const std::string& romId);
std::uint16_t ProbePort(ProbeKind kind);
// The probe's name in the log: "query", "boot", "recovery", "default-address".
const char* ProbeName(ProbeKind kind);
// A longer answer does not fit and ends the reading for its probe.
std::size_t ReadBufferSize(ProbeKind kind);

struct AnswerTexts {
  std::string romId;
  std::string info;
};

// The texts of an accepted answer, or nothing when the answer does not pass
// the probe's filter. Reads only within the datagram.
std::optional<AnswerTexts> ParseAnswer(ProbeKind kind, std::span<const std::uint8_t> datagram);

// The table's status code for an answer, or nothing when it is not filed
// (a fixed-address answer from a listed, reachable device).
std::optional<std::int32_t> StatusCode(ProbeKind kind, bool reachable, bool listed);

}  // namespace fwu
