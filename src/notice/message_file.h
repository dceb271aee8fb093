#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/bytes.h"

namespace fwu {

// A notice carried in the bundle: a 125-byte header, then an RTF document.
struct MessageFile {
  static constexpr std::size_t kHeaderSize = 125;
  static constexpr std::size_t kNameWidth = 16;
  static constexpr std::size_t kCaptionWidth = 64;
  static constexpr std::size_t kReservedSize = 34;  // offsets 84 to 117
  static constexpr std::uint16_t kMaxDisplayTime = 80;
  static constexpr std::uint32_t kSystemWindowColour = 0x80000005;

  std::string messageName;     // at most 16 characters, no terminator needed
  std::string messageCaption;  // at most 64 characters
  std::uint16_t displayTime = 0;  // ticks of 100 ms; 0 never closes by itself
  std::uint8_t noTftpFlag = 0;
  std::uint8_t noFtpFlag = 0;
  std::array<std::uint8_t, kReservedSize> reserved{};
  std::uint32_t backColor = kSystemWindowColour;
  std::uint8_t noBlink = 0;
  std::string rtf;
  // Set by Parse when the header promised more RTF than the file holds; the
  // document then holds only the bytes present.
  bool rtfClipped = false;

  // The display time the window uses: longer times are cut to 8 s.
  std::uint16_t EffectiveDisplayTime() const { return displayTime > kMaxDisplayTime ? kMaxDisplayTime : displayTime; }

  // Why the fields cannot be stored (a text too long for its field, an RTF
  // document longer than the length field can count); empty when they can.
  std::string Problem() const;
  // The file's bytes. Only meaningful when Problem() is empty.
  Bytes Serialize() const;
  // Nothing when the bytes are shorter than the header. Never reads past
  // the bytes given.
  static std::optional<MessageFile> Parse(std::span<const std::uint8_t> bytes);
};

}  // namespace fwu
