#include "fleet/fleet_run.h"

#include <deque>
#include <filesystem>
#include <memory>

#include "app/login_router.h"
#include "app/upgrade_codes.h"
#include "fleet/fleet_display.h"
#include "fleet/fleet_firmware.h"
#include "fleet/fleet_report.h"
#include "fleet/router_session.h"
#include "net/socket_exception.h"
#include "platform/poll_event_loop.h"
#include "platform/terminal.h"
#include "platform/termination_requests.h"
#include "search/lan_search.h"
#include "search/refresh_form.h"
#include "ui/console_dialogs.h"
#include "ui/log_sink.h"

namespace fwu {

namespace {

constexpr int kBadStart = 2;
// How long the sessions have to end in order after Ctrl+C before they are
// ended at once.
constexpr std::int64_t kEndInOrderMs = 15000;

// A log line of the login the plan runs, as an event of the router.
class EventLogSink final : public LogSink {
 public:
  EventLogSink(EventLog& log, std::string address) : log_(log), address_(std::move(address)) {}
  void AddLine(const std::string& line) override { log_.Write("log", address_, JsonObject().Add("text", line)); }

 private:
  EventLog& log_;
  std::string address_;
};

PlanChecks::Login LogIn(EventLog& log, const std::string& address, const std::string& password) {
  EventLogSink sink(log, address);
  std::uint16_t method = method::kHttp;
  const int result = LoginRouter(password, address, method, sink);
  if (result == login::kPasswordRefused) return {PlanChecks::Login::Outcome::Refused, FleetMethod::None, {}};
  // The login tells an older router by its pages; that one takes FTP.
  const FleetMethod generation = method == method::kFtp ? FleetMethod::Ftp : FleetMethod::Http;
  if (result >= 0) return {PlanChecks::Login::Outcome::Accepted, generation, {}};
  const char* text = LoginVerdictText(result);
  return {PlanChecks::Login::Outcome::Failed, FleetMethod::None, text ? text : "Unknow Error while check password"};
}

// Runs the sessions of the plan, at most jobs at once, until every one
// has ended or Ctrl+C has ended them.
class FleetRunner {
 public:
  FleetRunner(EventLoop& loop, std::vector<PlannedRouter>& rows, const SessionSettings& settings, EventLog& log,
              FleetDisplay& display, int jobs)
      : loop_(loop), settings_(settings), log_(log), display_(display), jobs_(jobs) {
    for (PlannedRouter& row : rows) {
      if (row.result == RouterResult::Planned) waiting_.push_back(&row);
    }
  }

  void Run() {
    const auto redraw = loop_.StartTimer(100, [this] { display_.Refresh(Active(), loop_.NowMs()); });
    StartMore();
    loop_.RunUntil([this] { return waiting_.empty() && running_.empty(); });
    loop_.StopTimer(redraw);
    if (killTimer_) loop_.StopTimer(*killTimer_);
    display_.Clear();
  }

  void Interrupt() {
    if (interrupted_) return;
    interrupted_ = true;
    for (PlannedRouter* row : waiting_) {
      row->result = RouterResult::Skipped;
      row->reason = "not started: interrupted";
      LogRouterDone(log_, *row);
    }
    waiting_.clear();
    // Copied: a session that ends at once leaves the list.
    const auto running = running_;
    for (const auto& session : running) session->Interrupt();
    killTimer_ = loop_.StartTimer(kEndInOrderMs, [this] {
      for (const auto& session : running_) session->Kill();
    });
  }

 private:
  std::vector<const RouterSession*> Active() const {
    std::vector<const RouterSession*> active;
    for (const auto& session : running_) active.push_back(session.get());
    return active;
  }

  void StartMore() {
    while (!interrupted_ && !waiting_.empty() && static_cast<int>(running_.size()) < jobs_) {
      PlannedRouter& row = *waiting_.front();
      waiting_.pop_front();
      auto session = std::make_shared<RouterSession>(
          loop_, row, settings_, log_,
          SessionListener{[this](const std::string& address, const SessionLine& line) { OnLine(address, line); },
                          [] {}, [this, &row] { Ended(row); }});
      running_.push_back(session);
      session->Start();
    }
  }

  void OnLine(const std::string& address, const SessionLine& line) {
    static const char* const kEvents[] = {"log", "status", "message"};
    if (line.kind != SessionLine::Kind::Progress) {
      log_.Write(kEvents[static_cast<int>(line.kind)], address, JsonObject().Add("text", line.text));
    }
    display_.Line(address, line);
  }

  // The session is taken off the list after the loop's current event: it
  // is still on the stack.
  void Ended(const PlannedRouter& row) {
    display_.Note(row.address, std::string(ResultName(row.result)) + (row.reason.empty() ? "" : ": " + row.reason));
    loop_.Post([this, address = row.address] {
      std::erase_if(running_, [&](const auto& session) { return session->Row().address == address; });
      StartMore();
    });
  }

  EventLoop& loop_;
  const SessionSettings& settings_;
  EventLog& log_;
  FleetDisplay& display_;
  int jobs_;
  std::deque<PlannedRouter*> waiting_;
  std::vector<std::shared_ptr<RouterSession>> running_;
  bool interrupted_ = false;
  std::optional<EventLoop::TimerId> killTimer_;
};

struct Started {
  int status = -1;  // an exit status when the run ends before the sessions
  SessionSettings settings;
};

// Everything that can go wrong before the network is touched.
Started Prepare(const FleetOptions& options, const FleetFirmware& firmware, const std::string& programPath,
                EventLog& log, std::ostream& err) {
  Started started;
  SessionSettings& settings = started.settings;
  settings.programPath = programPath;
  settings.targetInfo = options.targetInfo;
  settings.verifyTimeoutMs = static_cast<std::int64_t>(options.verifySeconds) * 1000;
  std::string error;
  if (options.logFile && !log.Open(*options.logFile, error)) {
    err << "fwupgrade-cli fleet: cannot append to " << error << '\n';
    started.status = kBadStart;
    return started;
  }
  if (options.backupDir) {
    std::error_code failure;
    std::filesystem::create_directories(*options.backupDir, failure);
    const auto control = firmware.Control();
    settings.backupDir = options.backupDir;
    settings.romOffset = options.rom ? options.rom->offset : control ? control->RomOffset() : "";
    settings.romLength = options.rom ? options.rom->length : control ? control->RomLength() : "";
    if (failure || !std::filesystem::is_directory(*options.backupDir)) {
      err << "fwupgrade-cli fleet: cannot make the directory " << *options.backupDir << '\n';
      started.status = kBadStart;
    } else if (settings.romOffset.empty() || settings.romLength.empty()) {
      err << "fwupgrade-cli fleet: --backup needs --rom OFFSET:LENGTH (the bundle names no ROM stretch)\n";
      started.status = kBadStart;
    }
  }
  return started;
}

}  // namespace

std::vector<DeviceEntry> SearchLan(EventLoop& loop, const std::optional<InitialSetting>& control) {
  const auto search = MakeRefreshForm(loop);
  if (control) {
    std::array<std::string, 4> addresses;
    for (int i = 0; i < 4; ++i) addresses[static_cast<std::size_t>(i)] = control->SearchIP(i);
    search->SetSearchParameters(control->Flags(), control->ROMID(), addresses);
  }
  search->ClearTable();
  search->SearchAddress(kBroadcastAddress);
  return search->Table().Entries();
}

int RunFleet(const std::vector<std::string>& words, const std::string& programPath, std::ostream& out,
             std::ostream& err) {
  const ParsedFleetOptions parsed = ParseFleetOptions(words);
  if (!parsed.options) {
    err << "fwupgrade-cli fleet: " << parsed.error << "\n\n" << FleetUsage();
    return kBadStart;
  }
  const FleetOptions& options = *parsed.options;
  PollEventLoop loop;
  ConsoleDialogs dialogs(loop, err);
  FleetRunner* runner = nullptr;
  bool interrupted = false;
  TerminationRequests requests(loop, [&](const std::string&) {
    interrupted = true;
    if (runner) runner->Interrupt();
  });
  FleetFirmware firmware;
  std::string error;
  if (!firmware.Open(options, programPath, dialogs, error)) {
    err << "fwupgrade-cli fleet: " << error << '\n';
    return kBadStart;
  }
  EventLog log;
  Started started = Prepare(options, firmware, programPath, log, err);
  if (started.status >= 0) return started.status;

  std::vector<DeviceEntry> found;
  try {
    found = SearchLan(loop, firmware.Control());
  } catch (const SocketException& failure) {
    err << "fwupgrade-cli fleet: the search failed: " << failure.what() << '\n';
    return kBadStart;
  }
  log.Write("search-done", std::nullopt, JsonObject().Add("found", static_cast<int>(found.size())));
  std::vector<PlannedRouter> rows;
  if (!requests.CheckNow()) {
    rows = MakePlan(found, options,
                    PlanChecks{[&](const std::string& romId, bool crashed) { return firmware.Choose(romId, crashed); },
                               [&](const std::string& address, const std::string& password) {
                                 return LogIn(log, address, password);
                               }});
  }
  for (PlannedRouter& row : rows) {
    // The single-router program takes one file on its command line.
    if (row.result == RouterResult::Planned && row.files.size() > 1) {
      row.result = RouterResult::Skipped;
      row.reason = std::to_string(row.files.size()) + " files for ROM ID " + row.romId + ": one file per run";
      row.method = FleetMethod::None;
    }
    if (row.result != RouterResult::Planned) LogRouterDone(log, row);
  }
  out << PlanTable(rows) << std::flush;
  if (options.dryRun) {
    LogFleetDone(log, rows, false);
    return 0;
  }
  const TerminalEscapes escapes(StandardStream::Error);
  FleetDisplay display(err, escapes.Taken());
  if (!requests.CheckNow()) {
    FleetRunner run(loop, rows, started.settings, log, display, options.jobs);
    runner = &run;
    run.Run();
    runner = nullptr;
  }
  interrupted = interrupted || requests.CheckNow();
  for (PlannedRouter& row : rows) {
    if (row.result != RouterResult::Planned) continue;
    row.result = RouterResult::Skipped;
    row.reason = "not started: interrupted";
    LogRouterDone(log, row);
  }
  out << SummaryTable(rows, interrupted) << std::flush;
  LogFleetDone(log, rows, interrupted);
  return interrupted ? 1 : FleetExitStatus(rows, false);
}

}  // namespace fwu
