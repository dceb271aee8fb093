#pragma once

#include <string>

#include "platform/event_loop.h"
#include "platform/ipv4_address.h"
#include "search/probes.h"
#include "search/search_settings.h"

namespace fwu {

class DeviceTable;
class ProgressBarModel;
class TAsyncSocket;
class TPinger;

inline constexpr const char* kBroadcastAddress = "255.255.255.255";

// The probes of one search and the filing of their answers. Runs on the
// window thread and holds it: the waits between sending and reading do not
// process events, and answers are read by polling afterwards.
class LanSearch {
 public:
  static constexpr std::int64_t kAnswerWaitMs = 200;

  LanSearch(EventLoop& loop, TAsyncSocket& socket, TPinger& pinger, DeviceTable& table, ProgressBarModel& progress,
            const SearchSettings& settings);

  // Runs the probes the flags select against address, then the
  // single-address check. Adds to the table; never clears it.
  void Search(const std::string& address);

 private:
  void Probe(ProbeKind kind, const std::string& address);
  void ReadAnswers(ProbeKind kind);
  void FileAnswer(ProbeKind kind, std::span<const std::uint8_t> datagram, const Ipv4Endpoint& sender);
  void CheckSingleAddress(const std::string& address);
  // True (and the progress bar full) when the table holds something.
  bool FoundAny();
  void Advance();

  EventLoop& loop_;
  TAsyncSocket& socket_;
  TPinger& pinger_;
  DeviceTable& table_;
  ProgressBarModel& progress_;
  const SearchSettings& settings_;
};

}  // namespace fwu
