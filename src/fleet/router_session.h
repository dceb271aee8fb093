#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "fleet/event_log.h"
#include "fleet/fleet_plan.h"
#include "fleet/program_run.h"
#include "fleet/running_router_poll.h"

namespace fwu {

// What every router's session shares.
struct SessionSettings {
  std::string programPath;  // the single-router program each step runs
  std::optional<std::string> backupDir;
  std::string romOffset;
  std::string romLength;
  std::optional<std::string> targetInfo;
  std::int64_t verifyTimeoutMs = 0;
};

// What a session tells the run: a line of its program, a change of phase
// or progress, and its end.
struct SessionListener {
  std::function<void(const std::string& address, const SessionLine& line)> line;
  std::function<void()> changed;
  std::function<void()> done;
};

// One router from plan to verdict: its ROM data saved, the single-router
// program run on it in a process of its own, then the wait until it
// answers again as running. The row is filled in as it goes.
class RouterSession {
 public:
  enum class Phase { Backup, Upload, RebootWait, Done };
  // "backup", "upload", "reboot wait", "done".
  static const char* PhaseName(Phase phase);

  RouterSession(EventLoop& loop, PlannedRouter& row, const SessionSettings& settings, EventLog& log,
                SessionListener listener);
  ~RouterSession();

  void Start();
  // Ctrl+C: a backup or upload under way ends as failed, a wait for the
  // reboot as not verified ("interrupted").
  void Interrupt();
  // The step under way does not end when asked: end it now.
  void Kill();

  const PlannedRouter& Row() const { return row_; }
  Phase CurrentPhase() const { return phase_; }
  int Percent() const { return percent_; }
  // Bytes a second of the upload so far, from its percent and the files' size.
  double BytesPerSecond() const;

 private:
  void StartBackup();
  void BackupEnded(int status);
  void StartUpload();
  void UploadEnded(int status);
  void StartVerify();
  void VerifyEnded(bool accepted, const std::optional<RunningRouterPoll::Answer>& last);
  bool RunProgram(std::vector<std::string> words, const std::string& directory, ProgramRun::Ended ended);
  void OnLine(const SessionLine& line);
  void Finish(RouterResult result, std::string reason);
  std::string FailureText(int status) const;
  std::string PartPath() const;

  EventLoop& loop_;
  PlannedRouter& row_;
  const SessionSettings& settings_;
  EventLog& log_;
  SessionListener listener_;
  std::unique_ptr<ProgramRun> program_;
  std::unique_ptr<RunningRouterPoll> poll_;
  Phase phase_ = Phase::Backup;
  bool interrupted_ = false;
  int percent_ = 0;
  // The method the current program run says it uses.
  FleetMethod sessionMethod_ = FleetMethod::None;
  TftpLogProgress tftpProgress_;
  std::int64_t startedMs_ = 0;
  std::int64_t uploadStartedMs_ = 0;
  std::uint64_t uploadBytes_ = 0;
  // The last message box and status line of the current step: the words
  // a failure is reported with.
  std::string lastMessage_;
  std::string lastStatus_;
  std::string lastLog_;
};

}  // namespace fwu
