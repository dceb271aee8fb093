#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "search/device_search.h"
#include "search/search_window_model.h"
#include "support/fake_device_search.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace fwu::testing {

// A search with no network behind it: it "finds" the routers the test
// lists, and shows the search window through the dialogs as the real
// search does, so the window's modal dialog is on screen meanwhile.
class FakeLan final : public FakeDeviceSearch {
 public:
  explicit FakeLan(EventLoop& loop)
      : window_(loop, [this] { window_.Timer1.SetEnabled(true); }, [this] { SearchTick(); }) {}

  void RunFullSearch(Dialogs& dialogs) override { dialogs.ShowModal(window_); }
  void ShowSearchResult(ComboBoxModel& list, StatusBarModel& status, int) override {
    list.ClearItems();
    for (const auto& device : table) list.AddItem(device.address + "   " + device.info);
    status.SetText(std::to_string(table.size()) + " device(s) found");
    list.SetText(list.Items().empty() ? "" : list.Items().front());
  }

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
