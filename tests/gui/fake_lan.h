#pragma once

#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "search/device_search.h"
#include "search/search_window_model.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace fwu::testing {

// A search with no network behind it: it "finds" the routers the test
// lists, and shows the search window through the dialogs as the real
// search does, so the window's modal dialog is on screen meanwhile.
class FakeLan final : public DeviceSearch {
 public:
  explicit FakeLan(EventLoop& loop)
      : window_(loop, [this] { window_.Timer1.SetEnabled(true); }, [this] { SearchTick(); }) {}

  void SetSearchParameters(std::uint8_t, const std::string&, const std::array<std::string, 4>&) override {}
  void SearchAddress(const std::string& address) override {
    searchedAddresses.push_back(address);
    for (const auto& device : network) {
      if (device.address == address) table.push_back(device);
    }
  }
  void RunFullSearch(Dialogs& dialogs) override { dialogs.ShowModal(window_); }
  void ClearTable() override { table.clear(); }
  void ShowSearchResult(ComboBoxModel& list, StatusBarModel& status, int) override {
    list.ClearItems();
    for (const auto& device : table) list.AddItem(device.address + "   " + device.info);
    status.SetText(std::to_string(table.size()) + " device(s) found");
    list.SetText(list.Items().empty() ? "" : list.Items().front());
  }
  std::optional<DeviceEntry> Lookup(const std::string& address) const override {
    for (const auto& device : table) {
      if (device.address == address) return device;
    }
    return std::nullopt;
  }
  bool Ping(const std::string&) override { return true; }

  std::vector<DeviceEntry> network;
  std::vector<DeviceEntry> table;
  std::vector<std::string> searchedAddresses;
  int fullSearches = 0;
  // Called while the search window is on screen.
  std::function<void()> duringSearch;

 private:
  void SearchTick() {
    window_.Timer1.SetEnabled(false);
    ++fullSearches;
    if (duringSearch) duringSearch();
    table = network;
    window_.Close();
  }

  SearchWindowModel window_;
};

}  // namespace fwu::testing
