#pragma once

#include <exception>
#include <string>

#include "platform/event_loop.h"
#include "platform/ipv4_address.h"
#include "search/probes.h"
#include "search/search_settings.h"

namespace fwu {

class DeviceTable;
class LogSink;
class ProgressBarModel;
class SocketException;
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
  // single-address check. Adds to the table; never clears it. A probe that
  // cannot be sent is logged and skipped; only when none could be sent and
  // nothing was found does the last probe's SocketException come out.
  void Search(const std::string& address);
  // Where skipped probes are reported; none by default.
  void SetLog(LogSink* log) { log_ = log; }

 private:
  void Probe(ProbeKind kind, const std::string& address);
  void SendAndRead(ProbeKind kind, const std::string& address);
  void Skip(ProbeKind kind, const std::string& address, const SocketException& failure);
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
  LogSink* log_ = nullptr;
  // Of the current Search: probes sent, and the last that could not be.
  int probesSent_ = 0;
  std::exception_ptr lastFailure_;
};

}  // namespace fwu
