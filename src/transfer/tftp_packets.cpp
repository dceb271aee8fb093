#include "transfer/tftp_packets.h"

#include <algorithm>

namespace fwu::tftp {

namespace {

std::uint16_t BigEndian16(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

void Append(Bytes& packet, std::string_view text) {
  packet.insert(packet.end(), text.begin(), text.end());
  packet.push_back(0);
}

}  // namespace

Bytes Request(std::uint16_t opcode, std::string_view name, std::string_view mode) {
  Bytes packet{static_cast<std::uint8_t>(opcode >> 8), static_cast<std::uint8_t>(opcode)};
  Append(packet, name);
  Append(packet, mode);
  return packet;
}

Reply ReadReply(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < 2) return {};
  const std::uint16_t opcode = BigEndian16(datagram);
  if (opcode == kError) {
    // A short error packet still ends what it answers; its code and text
    // are read as far as they go.
    Reply error{Reply::Kind::Error, datagram.size() >= kHeaderSize ? BigEndian16(datagram.subspan(2)) : std::uint16_t{0},
                {}};
    if (datagram.size() > kHeaderSize) {
      const auto text = datagram.subspan(kHeaderSize);
      const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
      error.errorText.assign(text.begin(), end);
    }
    return error;
  }
  // An acknowledgement carries exactly its block number; anything shorter
  // names no block.
  if (opcode == kAcknowledgement && datagram.size() >= kHeaderSize) {
    return {Reply::Kind::Acknowledgement, BigEndian16(datagram.subspan(2)), {}};
  }
  return {};
}

}  // namespace fwu::tftp
