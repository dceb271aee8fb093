#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace fwu {

namespace search_flag {
inline constexpr std::uint8_t kQuery = 0x01;
inline constexpr std::uint8_t kBoot = 0x02;
// Probes the fixed addresses only together with kFixedAddressesEnable.
inline constexpr std::uint8_t kFixedAddresses = 0x04;
inline constexpr std::uint8_t kRecovery = 0x08;
inline constexpr std::uint8_t kFixedAddressesEnable = 0x80;
}  // namespace search_flag

// What a search asks and where: replaced from the command line and the
// control file before the first search.
struct SearchSettings {
  std::string romId = "Kavlor";
  std::uint8_t flags = 159;
  std::array<std::string, 4> searchIps{"192.168.123.254", "192.168.2.1", "192.168.0.1", "192.168.1.254"};

  // Flags 255 and the address text "default" keep what is set; the ROM ID
  // is always taken, also when empty.
  void Apply(std::uint8_t newFlags, const std::string& newRomId, const std::array<std::string, 4>& addresses);
  bool ProbesFixedAddresses() const;
};

}  // namespace fwu
