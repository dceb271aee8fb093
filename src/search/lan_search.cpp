#include "search/lan_search.h"

#include <algorithm>

#include "net/async_socket.h"
#include "net/pinger.h"
#include "net/socket_exception.h"
#include "platform/printable_text.h"
#include "search/device_table.h"
#include "platform/error_text.h"
#include "ui/controls.h"
#include "ui/log_sink.h"

namespace fwu {

namespace {

constexpr int kProgressPerAnswer = 2;
constexpr const char* kUnknownModule = "unknow module";
constexpr std::int32_t kUnknownDeviceStatus = 6;

bool IsBroadcast(const std::string& address) { return address == kBroadcastAddress; }

}  // namespace

LanSearch::LanSearch(EventLoop& loop, TAsyncSocket& socket, TPinger& pinger, DeviceTable& table,
                     ProgressBarModel& progress, const SearchSettings& settings)
    : loop_(loop), socket_(socket), pinger_(pinger), table_(table), progress_(progress), settings_(settings) {}

void LanSearch::Search(const std::string& address) {
  probesSent_ = 0;
  lastFailure_ = nullptr;
  const std::size_t countBefore = table_.Count();
  if (settings_.flags & search_flag::kQuery) Probe(ProbeKind::Query, address);
  if (settings_.flags & search_flag::kBoot) Probe(ProbeKind::Boot, address);
  if (settings_.flags & search_flag::kRecovery) Probe(ProbeKind::Recovery, address);
  if (settings_.ProbesFixedAddresses()) {
    for (const std::string& fixed : settings_.searchIps) {
      if (!fixed.empty()) Probe(ProbeKind::DefaultAddress, fixed);
    }
  }
  CheckSingleAddress(address);
  if (probesSent_ == 0 && lastFailure_ && table_.Count() == countBefore) std::rethrow_exception(lastFailure_);
}

void LanSearch::Probe(ProbeKind kind, const std::string& address) {
  if (!IsBroadcast(address) && table_.Lists(address)) return;
  // Port 68 is the boot probe's alone when it cannot be had (no privilege,
  // a DHCP client holds it): the next probe and the next search start from
  // the port they had.
  const std::string localPort = socket_.LocalPort();
  try {
    SendAndRead(kind, address);
    ++probesSent_;
  } catch (const SocketException& failure) {
    socket_.Close();
    socket_.SetLocalPort(localPort);
    lastFailure_ = std::current_exception();
    Skip(kind, address, failure);
    return;
  } catch (...) {
    // A socket left open would refuse the next probe's address for good.
    socket_.Close();
    throw;
  }
  socket_.Close();
  FoundAny();
}

void LanSearch::SendAndRead(ProbeKind kind, const std::string& address) {
  if (kind == ProbeKind::Boot) socket_.SetLocalPort(std::to_string(kBootClientPort));
  socket_.SetProto("udp");
  socket_.SetAddr(address);
  socket_.SetPort(std::to_string(ProbePort(kind)));
  socket_.Connect();
  const Bytes probe = BuildProbe(kind, settings_.romId);
  socket_.Send(probe.data(), probe.size());
  // Holds the thread, as the search always has: answers queue in the
  // socket meanwhile, and nothing else may read them.
  loop_.WaitMs(kAnswerWaitMs, false);
  ReadAnswers(kind);
}

void LanSearch::Skip(ProbeKind kind, const std::string& address, const SocketException& failure) {
  if (log_ == nullptr) return;
  std::string probe = std::string(ProbeName(kind)) + " probe";
  if (kind == ProbeKind::DefaultAddress) probe += " to " + address;
  // The failure's own text carries a line break; the log gets one line.
  const std::string reason = failure.Code() != 0 ? ErrorText(failure.Code()) : OneLine(failure.what());
  log_->AddLine("Search skipped the " + probe + ": " + reason);
}

void LanSearch::ReadAnswers(ProbeKind kind) {
  Bytes buffer(ReadBufferSize(kind));
  for (;;) {
    Ipv4Endpoint sender;
    // Less than one byte ends the reading: nothing waiting, an empty
    // datagram, or one too long for the buffer.
    const int length = socket_.ReceiveFrom(buffer.data(), buffer.size(), sender);
    if (length < 1) return;
    Advance();
    FileAnswer(kind, std::span(buffer.data(), static_cast<std::size_t>(length)), sender);
  }
}

void LanSearch::FileAnswer(ProbeKind kind, std::span<const std::uint8_t> datagram, const Ipv4Endpoint& sender) {
  const auto texts = ParseAnswer(kind, datagram);
  // A full table reads and drops answers; no echo is spent on them.
  if (!texts || table_.Full()) return;
  const std::string address = FormatDottedIpv4(sender.address);
  pinger_.SetAddress(address);
  const bool reachable = pinger_.Ping() != 0;
  const auto status = StatusCode(kind, reachable, table_.Lists(address));
  if (!status) return;
  table_.Add({*status, address, texts->romId, texts->info});
}

void LanSearch::CheckSingleAddress(const std::string& address) {
  if (!IsBroadcast(address) && table_.Lists(address)) return;
  if (FoundAny() || IsBroadcast(address)) return;
  pinger_.SetAddress(address);
  if (pinger_.Ping() == 0) return;
  table_.Add({kUnknownDeviceStatus, address, kUnknownModule, ""});
  progress_.SetPosition(progress_.Max());
}

bool LanSearch::FoundAny() {
  if (table_.Count() == 0) return false;
  progress_.SetPosition(progress_.Max());
  return true;
}

void LanSearch::Advance() {
  progress_.SetPosition(std::min(progress_.Position() + kProgressPerAnswer, progress_.Max()));
}

}  // namespace fwu
