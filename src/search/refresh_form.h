#pragma once

#include <exception>
#include <memory>

#include "net/async_socket.h"
#include "net/pinger.h"
#include "platform/datagram_endpoint.h"
#include "platform/echo_service.h"
#include "platform/event_loop.h"
#include "search/device_search.h"
#include "search/device_table.h"
#include "search/lan_search.h"
#include "search/search_settings.h"
#include "search/search_window_model.h"

namespace fwu {

// The search window and the object behind it: it owns the search settings,
// the table of devices found, the UDP socket and the echo component, and
// lives for the whole run.
class TRefreshForm final : public DeviceSearch {
 public:
  // Raises IcmpException when no echo handle can be had.
  TRefreshForm(EventLoop& loop, std::unique_ptr<DatagramEndpoint> socket, std::unique_ptr<EchoService> echo);

  void SetSearchParameters(std::uint8_t flags, const std::string& romId,
                           const std::array<std::string, 4>& addresses) override;
  void SearchAddress(const std::string& address) override;
  void RunFullSearch(Dialogs& dialogs) override;
  void ClearTable() override { table_.Clear(); }
  void ShowSearchResult(ComboBoxModel& list, StatusBarModel& status, int detail) override;
  std::optional<DeviceEntry> Lookup(const std::string& address) const override { return table_.Lookup(address); }
  bool Ping(const std::string& address) override;

  const SearchSettings& Settings() const { return settings_; }
  const DeviceTable& Table() const { return table_; }
  SearchWindowModel& Window() { return window_; }
  const TAsyncSocket& Socket() const { return AsyncSocket1; }
  // The log pane that hears of probes the search had to skip.
  void SetLog(LogSink* log) { search_.SetLog(log); }

 private:
  void FormActivate();
  void Timer1Timer();

  SearchSettings settings_;
  DeviceTable table_;
  SearchWindowModel window_;
  TAsyncSocket AsyncSocket1;
  TPinger Pinger1;
  LanSearch search_;
  // A socket failure inside the timer's tick, handed to RunFullSearch's
  // caller once the window has closed.
  std::exception_ptr searchFailure_;
};

// The search on this machine's own sockets.
std::unique_ptr<TRefreshForm> MakeRefreshForm(EventLoop& loop);

}  // namespace fwu
