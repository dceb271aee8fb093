#include "platform/code_page.h"

namespace fwu {

namespace {

constexpr char32_t kNotAskedYet = 0;  // no pair of lead and trail byte decodes to U+0000

}  // namespace

char32_t CodePage::Double(std::uint8_t lead, std::uint8_t trail) const {
  if (pairs_.empty()) pairs_.assign(256 * 256, kNotAskedYet);
  char32_t& known = pairs_[lead * 256u + trail];
  if (known == kNotAskedYet) {
    known = DecodePair(lead, trail);
    if (IsStandIn(known)) known = kReplacement;
  }
  return known;
}

}  // namespace fwu
