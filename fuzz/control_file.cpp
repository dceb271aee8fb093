// The control file: the 224-byte record of initial settings in the bundle,
// and the ROM offset and length texts it carries.
#include <cstddef>
#include <cstdint>

#include "app/rom_value.h"
#include "bundle/initial_setting.h"
#include "fuzz_check.h"

namespace {

// A field's text never runs past its field, and a text that leaves room for
// its terminating zero is stored and read back unchanged.
void CheckField(const fwu::InitialSetting& setting, fwu::InitialSetting::Field field) {
  const std::string text = setting.Text(field);
  FUZZ_CHECK(text.size() <= field.width && text.find('\0') == std::string::npos);
  fwu::InitialSetting copy = setting;
  FUZZ_CHECK(copy.SetText(field, text) == (text.size() < field.width));
  if (text.size() < field.width) FUZZ_CHECK(copy.Text(field) == text);
}

void CheckRomValue(const std::string& field) {
  const fwu::RomValue value = fwu::DeriveRomValue(field);
  FUZZ_CHECK(value.number >= 0 && value.text.size() <= field.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fwu::InitialSetting;
  InitialSetting setting;
  setting.Overlay(data, size);
  for (const InitialSetting::Field field :
       {InitialSetting::kDstIP, InitialSetting::kPassWd, InitialSetting::kUpgradeFile, InitialSetting::kRomFile,
        InitialSetting::kRomOffset, InitialSetting::kRomLength, InitialSetting::kROMID, InitialSetting::kCaption}) {
    CheckField(setting, field);
  }
  for (const InitialSetting::Field field : InitialSetting::kSearchIP) CheckField(setting, field);
  CheckRomValue(setting.RomOffset());
  CheckRomValue(setting.RomLength());
  // A shorter file leaves the rest of the record as it was.
  for (std::size_t i = size; i < InitialSetting::kSize; ++i) {
    FUZZ_CHECK(setting.Raw()[i] == InitialSetting().Raw()[i]);
  }
  return 0;
}
