#include "notice/byte_decoder.h"

#include "platform/code_page.h"

namespace fwu {

std::optional<char32_t> ByteJoiner::Byte(std::uint8_t byte, const ByteDecoder& decoder, bool raw) {
  if (lead_) {
    const Lead lead = *lead_;
    lead_.reset();
    return lead.codePage->Double(lead.byte, byte);
  }
  if (decoder.symbol != SymbolFont::None) return SymbolCharacter(decoder.symbol, byte);
  if (byte < 0x80) return byte;
  if (decoder.codePage->IsLeadByte(byte)) {
    lead_ = Lead{byte, raw, decoder.codePage};
    return std::nullopt;
  }
  return decoder.codePage->Single(byte);
}

bool ByteJoiner::Drop() {
  const bool dropped = lead_.has_value();
  lead_.reset();
  return dropped;
}

}  // namespace fwu
