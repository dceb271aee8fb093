#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

#include "platform/bytes.h"

namespace fwu::testing {

inline void Put(Bytes& datagram, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), datagram.begin() + static_cast<std::ptrdiff_t>(at));
}

// Answers shaped as routers give them: texts 0-terminated at their offsets.
inline Bytes QueryAnswer(const std::string& romId, const std::string& info) {
  Bytes datagram(68, 0);
  Put(datagram, 12, info);
  Put(datagram, 44, romId);
  return datagram;
}

inline Bytes BootAnswer(const std::string& romId, const std::string& info) {
  Bytes datagram(548, 0);
  datagram[0] = 0xC0;
  datagram[3] = 0x10;
  Put(datagram, 108, romId);
  Put(datagram, 140, info);
  return datagram;
}

inline Bytes RecoveryAnswer(const std::string& afterTag = "") {
  Bytes datagram(32, 0);
  Put(datagram, 4, "$Quelby" + afterTag);
  return datagram;
}

inline Bytes DefaultAddressAnswer() { return Bytes{'Q', 'Q', 'R', 0}; }

}  // namespace fwu::testing
