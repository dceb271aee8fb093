#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/bytes.h"

namespace fwu {

// TFTP as RFC 1350 defines it, as far as a client that writes files and
// asks for one reboot needs it. All numbers are big-endian.
namespace tftp {

inline constexpr std::uint16_t kReadRequest = 1;
inline constexpr std::uint16_t kWriteRequest = 2;
inline constexpr std::uint16_t kData = 3;
inline constexpr std::uint16_t kAcknowledgement = 4;
inline constexpr std::uint16_t kError = 5;

inline constexpr std::uint16_t kServerPort = 69;
inline constexpr std::size_t kBlockSize = 512;
inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kLargestPacket = kHeaderSize + kBlockSize;
inline constexpr std::string_view kOctetMode = "octet";

// A file takes size / 512 full blocks and one short (maybe empty) block.
// Block numbers are 16-bit and 0 is the write request's acknowledgement,
// so a file needing 65,535 blocks or more cannot be numbered without
// wrapping, which the router would take for a repeated block.
inline constexpr std::uint64_t kMaxBlocks = 65534;
inline constexpr std::uint64_t kLargestFile = kMaxBlocks * kBlockSize - 1;  // 33,553,407 bytes
inline constexpr std::uint64_t BlocksNeeded(std::uint64_t size) { return size / kBlockSize + 1; }
inline constexpr bool FitsBlockNumbers(std::uint64_t size) { return BlocksNeeded(size) <= kMaxBlocks; }

// Read or write request: opcode, name, 0, mode, 0.
Bytes Request(std::uint16_t opcode, std::string_view name, std::string_view mode);

// RFC 1350's error 5: what a boot loader answers to a datagram of a
// session it has already closed, such as a block sent again.
inline constexpr std::uint16_t kUnknownTransferId = 5;

// What a datagram from the router says. Only acknowledgements and errors
// matter.
struct Reply {
  enum class Kind { Acknowledgement, Error, Other };
  Kind kind = Kind::Other;
  std::uint16_t number = 0;  // the block acknowledged, or the error code
  std::string errorText;     // as the router sent it, up to its zero byte
};
Reply ReadReply(std::span<const std::uint8_t> datagram);

}  // namespace tftp
}  // namespace fwu
