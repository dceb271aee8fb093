#include "notice/message_file.h"

#include <algorithm>
#include <limits>

#include "platform/fixed_field.h"
#include "platform/little_endian.h"

namespace fwu {

namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kCaptionOffset = 16;
constexpr std::size_t kDisplayTimeOffset = 80;
constexpr std::size_t kNoTftpOffset = 82;
constexpr std::size_t kNoFtpOffset = 83;
constexpr std::size_t kReservedOffset = 84;
constexpr std::size_t kRtfLengthOffset = 118;
constexpr std::size_t kBackColorOffset = 120;
constexpr std::size_t kNoBlinkOffset = 124;

void PutText(Bytes& bytes, std::size_t offset, std::size_t width, const std::string& text) {
  std::copy_n(text.begin(), std::min(width, text.size()), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

std::string MessageFile::Problem() const {
  if (messageName.size() > kNameWidth) return "message name longer than 16 characters";
  if (messageCaption.size() > kCaptionWidth) return "message caption longer than 64 characters";
  if (rtf.size() > std::numeric_limits<std::uint16_t>::max()) return "RTF document longer than 65535 bytes";
  return {};
}

Bytes MessageFile::Serialize() const {
  Bytes bytes(kHeaderSize, 0);
  PutText(bytes, kNameOffset, kNameWidth, messageName);
  PutText(bytes, kCaptionOffset, kCaptionWidth, messageCaption);
  StoreLe16(bytes.data() + kDisplayTimeOffset, displayTime);
  bytes[kNoTftpOffset] = noTftpFlag;
  bytes[kNoFtpOffset] = noFtpFlag;
  std::copy(reserved.begin(), reserved.end(), bytes.begin() + kReservedOffset);
  const std::size_t rtfLength = std::min<std::size_t>(rtf.size(), std::numeric_limits<std::uint16_t>::max());
  StoreLe16(bytes.data() + kRtfLengthOffset, static_cast<std::uint16_t>(rtfLength));
  StoreLe32(bytes.data() + kBackColorOffset, backColor);
  bytes[kNoBlinkOffset] = noBlink;
  bytes.insert(bytes.end(), rtf.begin(), rtf.begin() + static_cast<std::ptrdiff_t>(rtfLength));
  return bytes;
}

std::optional<MessageFile> MessageFile::Parse(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) return std::nullopt;
  MessageFile file;
  file.messageName = FixedFieldText(bytes.data() + kNameOffset, kNameWidth);
  file.messageCaption = FixedFieldText(bytes.data() + kCaptionOffset, kCaptionWidth);
  file.displayTime = LoadLe16(bytes.data() + kDisplayTimeOffset);
  file.noTftpFlag = bytes[kNoTftpOffset];
  file.noFtpFlag = bytes[kNoFtpOffset];
  std::copy_n(bytes.begin() + kReservedOffset, kReservedSize, file.reserved.begin());
  const std::size_t declared = LoadLe16(bytes.data() + kRtfLengthOffset);
  file.backColor = LoadLe32(bytes.data() + kBackColorOffset);
  file.noBlink = bytes[kNoBlinkOffset];
  const std::size_t present = bytes.size() - kHeaderSize;
  file.rtfClipped = declared > present;
  file.rtf.assign(bytes.begin() + kHeaderSize, bytes.begin() + kHeaderSize + std::min(declared, present));
  return file;
}

}  // namespace fwu
