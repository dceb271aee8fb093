#include "search/search_settings.h"

#include "search/device_search.h"

namespace fwu {

void SearchSettings::Apply(std::uint8_t newFlags, const std::string& newRomId,
                           const std::array<std::string, 4>& addresses) {
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (addresses[i] != DeviceSearch::kKeepAddress) searchIps[i] = addresses[i];
  }
  if (newFlags != DeviceSearch::kKeepFlags) flags = newFlags;
  romId = newRomId;
}

bool SearchSettings::ProbesFixedAddresses() const {
  return (flags & search_flag::kFixedAddresses) != 0 && (flags & search_flag::kFixedAddressesEnable) != 0;
}

}  // namespace fwu
