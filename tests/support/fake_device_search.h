#pragma once

#include <array>
#include <string>
#include <vector>

#include "net/socket_exception.h"
#include "search/device_search.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace fwu::testing {

// Records what the main window asks of the search and answers from a table
// the test fills. Views' tests override how the search window shows.
class FakeDeviceSearch : public DeviceSearch {
 public:
  struct Parameters {
    std::uint8_t flags;
    std::string romId;
    std::array<std::string, 4> addresses;
  };

  void SetSearchParameters(std::uint8_t flags, const std::string& romId,
                           const std::array<std::string, 4>& addresses) override {
    parameters.push_back({flags, romId, addresses});
  }
  void SearchAddress(const std::string& address) override {
    searchedAddresses.push_back(address);
    // The probes of the default addresses answer first, as on a LAN that
    // holds routers there.
    for (const auto& device : atDefaultAddresses) {
      if (!Lookup(device.address)) table.push_back(device);
    }
    for (const auto& device : network) {
      if (device.address == address) table.push_back(device);
    }
  }
  void RunFullSearch(Dialogs&) override {
    ++fullSearches;
    table = network;
    if (!fullSearchFailure.empty()) throw SocketException(fullSearchFailure, 10051);
  }
  void ClearTable() override { table.clear(); }
  void ShowSearchResult(ComboBoxModel& list, StatusBarModel& status, int detail) override {
    list.ClearItems();
    for (const auto& device : table) list.AddItem(device.address);
    status.SetText(std::to_string(table.size()) + (table.size() > 1 ? " devices found" : " device found"));
    list.SetText(table.empty() ? "" : table.front().address);
    details.push_back(detail);
  }
  std::optional<DeviceEntry> Lookup(const std::string& address) const override {
    for (const auto& device : table) {
      if (device.address == address) return device;
    }
    return std::nullopt;
  }
  bool Ping(const std::string& address) override {
    pinged.push_back(address);
    return pingAnswers;
  }

  std::vector<DeviceEntry> network;  // what a search would find
  // What every search of one address finds besides that address.
  std::vector<DeviceEntry> atDefaultAddresses;
  std::vector<DeviceEntry> table;    // what the last searches found
  bool pingAnswers = true;
  std::vector<Parameters> parameters;
  std::vector<std::string> searchedAddresses;
  std::vector<std::string> pinged;
  std::vector<int> details;
  int fullSearches = 0;
  std::string fullSearchFailure;  // raised by the full search once its table is filled
};

}  // namespace fwu::testing
