#pragma once

#include <cstdint>
#include <string>

namespace fwu {

// The two forms of a ROM offset or length field. "0x" marks hexadecimal
// text, which the router reads as such; the number form keeps reading the
// digits after the prefix as decimal, as the routers in the field expect
// for the FTP range ("0x1000" gives 1000).
struct RomValue {
  std::string text;
  std::int64_t number = 0;
};

RomValue DeriveRomValue(const std::string& field);

}  // namespace fwu
