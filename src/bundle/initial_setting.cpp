#include "bundle/initial_setting.h"

#include <algorithm>

#include "platform/fixed_field.h"

namespace fwu {

InitialSetting::InitialSetting() { raw_[kFlagsOffset] = 159; }

void InitialSetting::Overlay(const std::uint8_t* data, std::size_t size) {
  std::copy_n(data, std::min(size, kSize), raw_.begin());
}

std::string InitialSetting::Text(Field field) const {
  return FixedFieldText(raw_.data() + field.offset, field.width);
}

bool InitialSetting::SetText(Field field, const std::string& text) {
  if (text.size() + 1 > field.width) return false;
  std::fill_n(raw_.begin() + field.offset, field.width, 0);
  std::copy(text.begin(), text.end(), raw_.begin() + field.offset);
  return true;
}

}  // namespace fwu
