#include "search/refresh_form.h"

#include <utility>

#include "platform/icmp_socket.h"
#include "platform/udp_socket.h"
#include "search/search_result_lines.h"
#include "ui/dialogs.h"

namespace fwu {

namespace {

constexpr int kEchoSize = 56;
constexpr int kEchoTimeoutMs = 150;
constexpr int kEchoTtl = 64;

}  // namespace

TRefreshForm::TRefreshForm(EventLoop& loop, std::unique_ptr<DatagramEndpoint> socket,
                           std::unique_ptr<EchoService> echo)
    : window_(loop, [this] { FormActivate(); }, [this] { Timer1Timer(); }),
      AsyncSocket1(std::move(socket)),
      Pinger1(std::move(echo)),
      search_(loop, AsyncSocket1, Pinger1, table_, window_.ProgressBar1, settings_) {
  Pinger1.SetSize(kEchoSize);
  Pinger1.SetTimeout(kEchoTimeoutMs);
  Pinger1.SetTTL(kEchoTtl);
  Pinger1.SetFlags(0);
}

void TRefreshForm::SetSearchParameters(std::uint8_t flags, const std::string& romId,
                                       const std::array<std::string, 4>& addresses) {
  settings_.Apply(flags, romId, addresses);
}

void TRefreshForm::SearchAddress(const std::string& address) { search_.Search(address); }

void TRefreshForm::RunFullSearch(Dialogs& dialogs) {
  searchFailure_ = nullptr;
  dialogs.ShowModal(window_);
  if (searchFailure_) std::rethrow_exception(std::exchange(searchFailure_, nullptr));
}

void TRefreshForm::FormActivate() {
  ClearTable();
  window_.ProgressBar1.SetMax(100);
  window_.ProgressBar1.SetPosition(0);
  window_.Timer1.SetEnabled(true);
}

void TRefreshForm::Timer1Timer() {
  // Whatever the search raises, the timer must stop and the window close:
  // a timer left running would search again every 20 ms.
  try {
    ClearTable();
    search_.Search(kBroadcastAddress);
  } catch (...) {
    searchFailure_ = std::current_exception();
  }
  window_.Timer1.SetEnabled(false);
  window_.Close();
}

void TRefreshForm::ShowSearchResult(ComboBoxModel& list, StatusBarModel& status, int detail) {
  list.ClearItems();
  for (const DeviceEntry& entry : table_.Entries()) list.AddItem(ResultLine(entry, detail));
  status.SetText(DeviceCountText(table_.Count()));
  list.SetText(list.Items().empty() ? std::string() : list.Items().front());
}

bool TRefreshForm::Ping(const std::string& address) {
  Pinger1.SetAddress(address);
  return Pinger1.Ping() != 0;
}

std::unique_ptr<TRefreshForm> MakeRefreshForm(EventLoop& loop) {
  return std::make_unique<TRefreshForm>(loop, std::make_unique<UdpSocket>(), std::make_unique<IcmpSocket>());
}

}  // namespace fwu
