#include "cli/recover_command.h"

#include <cstdio>
#include <iostream>

#include "cli/exit_status.h"
#include "cli/recover_options.h"
#include "fleet/fleet_display.h"
#include "fleet/fleet_firmware.h"
#include "fleet/fleet_report.h"
#include "fleet/fleet_run.h"
#include "fleet/recovery_wait.h"
#include "fleet/router_session.h"
#include "net/socket_exception.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "platform/printable_text.h"
#include "platform/terminal.h"
#include "platform/termination_requests.h"
#include "ui/console_dialogs.h"

namespace fwu {

namespace {

constexpr std::int64_t kLiveRedrawMs = 200;
// How long a recovery under way has to end in order after Ctrl+C before
// its program is ended at once.
constexpr std::int64_t kEndInOrderMs = 15000;
// The program's status line once the firmware is in.
constexpr std::string_view kRebootingStatus = "Rebooting Router...";

Arguments Options(const Arguments& arguments) { return Arguments(arguments.begin() + 1, arguments.end()); }

std::string InterfaceList(const std::vector<NetworkInterface>& interfaces) {
  if (interfaces.empty()) return "no link yet (plug the cable in)";
  std::string list;
  for (const NetworkInterface& via : interfaces) {
    list += (list.empty() ? "" : ", ") + via.name + " (" + FormatDottedIpv4(via.address) + ")";
  }
  return list;
}

// The one line redrawn in place on a terminal; elsewhere only its first
// text of each kind is written, so that a log file is not flooded.
class LiveLine {
 public:
  LiveLine(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  ~LiveLine() { Clear(); }
  LiveLine(const LiveLine&) = delete;
  LiveLine& operator=(const LiveLine&) = delete;

  void Show(const std::string& kind, const std::string& text) {
    if (!terminal_) {
      if (kind != lastKind_) err_ << text << '\n' << std::flush;
    } else {
      err_ << '\r' << PrintableText(text) << "\x1b[K" << std::flush;
      drawn_ = true;
    }
    lastKind_ = kind;
  }
  void Clear() {
    if (drawn_) err_ << "\r\x1b[K" << std::flush;
    drawn_ = false;
  }

 private:
  std::ostream& err_;
  bool terminal_;
  bool drawn_ = false;
  std::string lastKind_;
};

class RecoverRun {
 public:
  RecoverRun(EventLoop& loop, const RecoverOptions& options, const FleetFirmware& firmware, EventLog& log,
             const SessionSettings& settings, std::ostream& out, std::ostream& err)
      : loop_(loop),
        options_(options),
        firmware_(firmware),
        log_(log),
        settings_(settings),
        out_(out),
        err_(err),
        escapes_(StandardStream::Error),
        live_(err, escapes_.Taken()),
        display_(err, escapes_.Taken()) {}

  void Interrupt() {
    interrupted_ = true;
    if (wait_) wait_->Stop();
    if (!session_) return;
    session_->Interrupt();
    killTimer_ = loop_.StartTimer(kEndInOrderMs, [this] {
      if (session_) session_->Kill();
    });
  }

  int Run() {
    if (!options_.wait) {
      const auto found = SearchOnce();
      if (!found) return status_;
      Recover(*found);
      return Status();
    }
    do {
      const auto found = WaitForRouter();
      if (!found) break;
      Recover(*found);
    } while (options_.all && !interrupted_);
    if (options_.all && !rows_.empty()) out_ << SummaryTable(rows_, interrupted_) << std::flush;
    if (options_.all) LogFleetDone(log_, rows_, interrupted_);
    return status_ >= 0 && rows_.empty() ? status_ : Status();
  }

 private:
  // The exit status from the routers handled.
  int Status() const {
    if (rows_.empty()) return exit_status::kFailed;
    return FleetExitStatus(rows_, false);
  }

  std::optional<RecoveryWait::Found> SearchOnce() {
    std::vector<DeviceEntry> found;
    try {
      found = SearchLan(loop_, firmware_.Control());
    } catch (const SocketException& failure) {
      err_ << "fwupgrade-cli recover: the search failed: " << failure.what() << '\n';
      status_ = exit_status::kBadUsage;
      return std::nullopt;
    }
    std::vector<RecoveryWait::Found> crashed;
    for (const DeviceEntry& entry : found) {
      if (IsCrashed(entry) && (!options_.only || entry.address == *options_.only)) {
        crashed.push_back({entry.address, entry.romId});
      }
    }
    status_ = exit_status::kFailed;
    if (crashed.empty()) {
      out_ << (options_.only ? "No router in recovery mode at " + *options_.only : "No router in recovery mode found")
           << '\n';
      return std::nullopt;
    }
    if (crashed.size() > 1) {
      out_ << "Several routers in recovery mode; choose one with --only ADDR:\n";
      for (const auto& router : crashed) out_ << "  " << router.address << "  " << PrintableText(router.romId) << '\n';
      status_ = exit_status::kBadUsage;
      return std::nullopt;
    }
    return crashed.front();
  }

  std::optional<RecoveryWait::Found> WaitForRouter() {
    wait_ = MakeRecoveryWait(loop_);
    std::optional<RecoveryWait::Found> found;
    bool ended = false;
    const std::int64_t timeoutMs = options_.timeoutSeconds ? *options_.timeoutSeconds * 1000LL : -1;
    std::string error;
    if (!wait_->Start(timeoutMs, [&](const auto& router) {
          found = router;
          ended = true;
        }, error)) {
      err_ << "fwupgrade-cli recover: cannot send the recovery probe: " << error << '\n';
      status_ = exit_status::kBadUsage;
      wait_.reset();
      return std::nullopt;
    }
    const std::int64_t startMs = loop_.NowMs();
    const auto show = [&] {
      const std::string links = InterfaceList(wait_->Interfaces());
      // Elsewhere than on a terminal, a line again only when the links change.
      live_.Show("wait " + links, "Waiting for a router in recovery mode on " + links + ": power it on now (" +
                                      std::to_string((loop_.NowMs() - startMs) / 1000) + " s)");
    };
    show();
    const auto redraw = loop_.StartTimer(RecoveryWait::kProbeIntervalMs, show);
    loop_.RunUntil([&] { return ended || interrupted_; });
    loop_.StopTimer(redraw);
    live_.Clear();
    wait_.reset();
    if (!found && !interrupted_) {
      out_ << "No router in recovery mode answered in " << *options_.timeoutSeconds << " s\n";
      status_ = exit_status::kFailed;
    }
    return found;
  }

  void Recover(const RecoveryWait::Found& found) {
    PlannedRouter& row = rows_.emplace_back();
    row.address = found.address;
    row.romId = found.romId;
    row.crashed = true;
    row.method = FleetMethod::Tftp;
    row.files = firmware_.Choose(found.romId, true);
    if (row.files.size() != 1) {
      row.result = RouterResult::Failed;
      row.reason = row.files.empty() ? "no firmware for ROM ID " + found.romId
                                     : std::to_string(row.files.size()) + " files for ROM ID " + found.romId +
                                           ": give the one FILE";
      LogRouterDone(log_, row);
      Verdict(row);
      return;
    }
    bool ended = false;
    rebootSinceMs_.reset();
    session_ = std::make_unique<RouterSession>(
        loop_, row, settings_, log_,
        SessionListener{[this](const std::string& address, const SessionLine& line) { OnLine(address, line); },
                        [this] {
                          if (session_->CurrentPhase() == RouterSession::Phase::RebootWait) RebootStarted();
                        },
                        [&] { ended = true; }});
    const auto redraw = loop_.StartTimer(kLiveRedrawMs, [this] { ShowProgress(); });
    session_->Start();
    loop_.RunUntil([&] { return ended; });
    loop_.StopTimer(redraw);
    if (killTimer_) loop_.StopTimer(*killTimer_);
    killTimer_.reset();
    live_.Clear();
    session_.reset();
    Verdict(row);
  }

  // The program that sends waits for the reboot itself before the session
  // polls: the rebooting starts with whichever comes first.
  void RebootStarted() {
    if (!rebootSinceMs_) rebootSinceMs_ = loop_.NowMs();
  }

  void ShowProgress() {
    if (!session_) return;
    if (rebootSinceMs_) {
      live_.Show("reboot", "Router rebooting: " + std::to_string((loop_.NowMs() - *rebootSinceMs_) / 1000) + " s");
      return;
    }
    char rate[64];
    std::snprintf(rate, sizeof rate, "%3d%%  %.1f KB/s", session_->Percent(), session_->BytesPerSecond() / 1024.0);
    live_.Show("upload", "Recovering " + session_->Row().address + " by TFTP: " + rate);
  }

  void OnLine(const std::string& address, const SessionLine& line) {
    static const char* const kEvents[] = {"log", "status", "message"};
    if (line.kind == SessionLine::Kind::Status && line.text == kRebootingStatus) RebootStarted();
    if (line.kind == SessionLine::Kind::Progress) return;
    log_.Write(kEvents[static_cast<int>(line.kind)], address, JsonObject().Add("text", line.text));
    display_.Line(address, line);
  }

  void Verdict(const PlannedRouter& row) {
    live_.Clear();
    std::string text = row.address + ": ";
    switch (row.result) {
      case RouterResult::Verified: text += "recovered and running"; break;
      case RouterResult::NotVerified: text += "recovered, not seen running (" + row.reason + ")"; break;
      default: text += "not recovered: " + row.reason; break;
    }
    out_ << PrintableText(text) << '\n' << std::flush;
  }

  EventLoop& loop_;
  const RecoverOptions& options_;
  const FleetFirmware& firmware_;
  EventLog& log_;
  const SessionSettings& settings_;
  std::ostream& out_;
  std::ostream& err_;
  // Before the displays, which draw once more as they go.
  const TerminalEscapes escapes_;
  LiveLine live_;
  FleetDisplay display_;
  std::unique_ptr<RecoveryWait> wait_;
  std::unique_ptr<RouterSession> session_;
  std::optional<EventLoop::TimerId> killTimer_;
  std::optional<std::int64_t> rebootSinceMs_;
  std::vector<PlannedRouter> rows_;
  bool interrupted_ = false;
  int status_ = -1;
};

}  // namespace

std::string CheckRecoverArguments(const Arguments& arguments) {
  const ParsedRecoverOptions parsed = ParseRecoverOptions(Options(arguments));
  return parsed.options ? std::string() : "recover: " + parsed.error;
}

int RunRecoverCommand(const Arguments& arguments) {
  const RecoverOptions options = *ParseRecoverOptions(Options(arguments)).options;
  PollEventLoop loop;
  ConsoleDialogs dialogs(loop, std::cerr);
  RecoverRun* run = nullptr;
  TerminationRequests requests(loop, [&](const std::string&) {
    if (run) run->Interrupt();
  });
  FleetOptions firmwareOptions;
  firmwareOptions.file = options.file;
  FleetFirmware firmware;
  std::string error;
  if (!firmware.Open(firmwareOptions, ExecutablePath(), dialogs, error)) {
    std::cerr << "fwupgrade-cli recover: " << error << '\n';
    return exit_status::kBadUsage;
  }
  EventLog log;
  if (options.logFile && !log.Open(*options.logFile, error)) {
    std::cerr << "fwupgrade-cli recover: cannot append to " << error << '\n';
    return exit_status::kBadUsage;
  }
  SessionSettings settings;
  settings.programPath = ExecutablePath();
  settings.verifyTimeoutMs = options.verifySeconds * 1000LL;
  RecoverRun recover(loop, options, firmware, log, settings, std::cout, std::cerr);
  run = &recover;
  if (requests.CheckNow()) return exit_status::kFailed;
  return recover.Run();
}

}  // namespace fwu
