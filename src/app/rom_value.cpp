#include "app/rom_value.h"

#include <cctype>
#include <cstdint>

namespace fwu {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// The value of the leading digits in the base; digits that would take it
// past the 64-bit range are left out.
std::int64_t LeadingValue(const std::string& text, int base) {
  std::int64_t value = 0;
  for (const char c : text) {
    const int digit = DigitValue(c);
    if (digit >= base || value > (INT64_MAX - digit) / base) break;
    value = value * base + digit;
  }
  return value;
}

}  // namespace

RomValue DeriveRomValue(const std::string& field) {
  if (field.size() >= 2 && (field[1] == 'x' || field[1] == 'X')) {
    const std::string digits = field.substr(2);
    std::size_t end = 0;
    while (end < digits.size() && !std::isspace(static_cast<unsigned char>(digits[end]))) ++end;
    return {digits.substr(0, end), LeadingValue(digits, 16)};
  }
  return {field, LeadingValue(field, 10)};
}

}  // namespace fwu
