#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fwu {

// The control file: a 224-byte record of fixed-width fields. Text fields
// are zero-terminated inside their width; a field with no zero ends at its
// width, so a damaged file can never make a read run past its field.
class InitialSetting {
 public:
  static constexpr std::size_t kSize = 224;

  struct Field {
    std::size_t offset;
    std::size_t width;
  };
  static constexpr Field kDstIP{0, 18};
  static constexpr Field kPassWd{18, 18};
  static constexpr std::size_t kMethodOffset = 36;
  static constexpr Field kUpgradeFile{37, 64};
  static constexpr Field kRomFile{37, 32};
  static constexpr Field kRomOffset{69, 16};
  static constexpr Field kRomLength{85, 16};
  static constexpr Field kROMID{101, 16};
  static constexpr std::size_t kFlagsOffset = 117;
  static constexpr std::array<Field, 4> kSearchIP{{{118, 18}, {136, 18}, {154, 18}, {172, 18}}};
  static constexpr Field kCaption{190, 32};
  static constexpr std::size_t kTimeOutOffset = 222;
  static constexpr std::size_t kMethodOrderOffset = 223;

  static constexpr std::uint8_t kMethodGet = 1;
  static constexpr std::uint8_t kMethodPut = 2;
  static constexpr std::uint8_t kMethodSet = 4;

  // All zero but Flags = 159, as at start-up.
  InitialSetting();

  // Copies up to kSize bytes over the record; a shorter input leaves the
  // rest as it was.
  void Overlay(const std::uint8_t* data, std::size_t size);
  const std::array<std::uint8_t, kSize>& Raw() const { return raw_; }

  std::string Text(Field field) const;
  // False when the text and its terminating zero do not fit the field.
  bool SetText(Field field, const std::string& text);

  std::string DstIP() const { return Text(kDstIP); }
  std::string PassWd() const { return Text(kPassWd); }
  std::uint8_t Method() const { return raw_[kMethodOffset]; }
  std::string UpgradeFile() const { return Text(kUpgradeFile); }
  std::string RomFile() const { return Text(kRomFile); }
  std::string RomOffset() const { return Text(kRomOffset); }
  std::string RomLength() const { return Text(kRomLength); }
  std::string ROMID() const { return Text(kROMID); }
  std::uint8_t Flags() const { return raw_[kFlagsOffset]; }
  std::string SearchIP(int index) const { return Text(kSearchIP.at(index)); }
  std::string Caption() const { return Text(kCaption); }
  std::int8_t TimeOut() const { return static_cast<std::int8_t>(raw_[kTimeOutOffset]); }
  std::uint8_t MethodOrder() const { return raw_[kMethodOrderOffset]; }

  void SetByte(std::size_t offset, std::uint8_t value) { raw_.at(offset) = value; }

 private:
  std::array<std::uint8_t, kSize> raw_{};
};

}  // namespace fwu
