#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "search/device_search.h"

namespace fwu {

// The devices found, in the order their answers were processed.
class DeviceTable {
 public:
  static constexpr std::size_t kCapacity = 64;

  std::size_t Count() const { return entries_.size(); }
  bool Full() const { return entries_.size() >= kCapacity; }
  const std::vector<DeviceEntry>& Entries() const { return entries_; }
  // False (and nothing stored) when the table is full.
  bool Add(DeviceEntry entry);
  bool Lists(const std::string& address) const;
  std::optional<DeviceEntry> Lookup(const std::string& address) const;
  void Clear() { entries_.clear(); }

 private:
  std::vector<DeviceEntry> entries_;
};

}  // namespace fwu
