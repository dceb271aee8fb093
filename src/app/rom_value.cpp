#include "app/rom_value.h"

#include <cctype>
#include <cstdint>

namespace fwu {

namespace {

std::int64_t LeadingDecimal(const std::string& text) {
  std::int64_t value = 0;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c)) || value > (INT64_MAX - 9) / 10) break;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

RomValue DeriveRomValue(const std::string& field) {
  if (field.size() >= 2 && (field[1] == 'x' || field[1] == 'X')) {
    const std::string digits = field.substr(2);
    std::size_t end = 0;
    while (end < digits.size() && !std::isspace(static_cast<unsigned char>(digits[end]))) ++end;
    return {digits.substr(0, end), LeadingDecimal(digits)};
  }
  return {field, LeadingDecimal(field)};
}

}  // namespace fwu
