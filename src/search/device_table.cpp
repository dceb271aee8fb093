#include "search/device_table.h"

#include <algorithm>

namespace fwu {

bool DeviceTable::Add(DeviceEntry entry) {
  if (Full()) return false;
  entries_.push_back(std::move(entry));
  return true;
}

bool DeviceTable::Lists(const std::string& address) const { return Lookup(address).has_value(); }

std::optional<DeviceEntry> DeviceTable::Lookup(const std::string& address) const {
  const auto found =
      std::find_if(entries_.begin(), entries_.end(), [&](const DeviceEntry& e) { return e.address == address; });
  if (found == entries_.end()) return std::nullopt;
  return *found;
}

}  // namespace fwu
