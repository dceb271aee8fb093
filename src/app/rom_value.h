#pragma once

#include <cstdint>
#include <string>

namespace fwu {

// The two forms of a ROM offset or length field. "0x" marks hexadecimal:
// the text form keeps the digits after the prefix, which the router's web
// server reads as hexadecimal, and the number form is their hexadecimal
// value ("0x1000" gives 4096), so that the FTP range and the length checked
// on arrival name the stretch the user asked for. Without the prefix both
// forms are decimal.
struct RomValue {
  std::string text;
  std::int64_t number = 0;
};

RomValue DeriveRomValue(const std::string& field);

}  // namespace fwu
