#include "fleet/router_session.h"

#include "fleet/fleet_report.h"
#include "platform/files.h"

namespace fwu {

namespace {

// The single-router program's word for an empty value.
std::string Word(const std::string& value) { return value.empty() ? "null" : value; }

// The ROM ID comes from the network: only these characters may reach a
// file name, so that no answer can lead outside the backup directory.
std::string SafeNamePart(const std::string& text) {
  std::string safe = text;
  for (char& c : safe) {
    const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                      c == '_' || c == '-';
    if (!kept) c = '_';
  }
  return safe;
}

}  // namespace

const char* RouterSession::PhaseName(Phase phase) {
  switch (phase) {
    case Phase::Backup: return "backup";
    case Phase::Upload: return "upload";
    case Phase::RebootWait: return "reboot wait";
    case Phase::Done: break;
  }
  return "done";
}

RouterSession::RouterSession(EventLoop& loop, PlannedRouter& row, const SessionSettings& settings, EventLog& log,
                             SessionListener listener)
    : loop_(loop), row_(row), settings_(settings), log_(log), listener_(std::move(listener)) {}

RouterSession::~RouterSession() = default;

void RouterSession::Start() {
  startedMs_ = loop_.NowMs();
  log_.Write("router-start", row_.address,
             JsonObject().Add("rom_id", row_.romId).Add("method", MethodName(row_.method)).Add("files", row_.files));
  if (settings_.backupDir && !row_.crashed) {
    StartBackup();
  } else {
    StartUpload();
  }
}

void RouterSession::Interrupt() {
  interrupted_ = true;
  if (program_) program_->RequestEnd();
  // The firmware is in: only the check is cut short.
  if (poll_) {
    poll_->Stop();
    Finish(RouterResult::NotVerified, "interrupted");
  }
}

void RouterSession::Kill() {
  if (program_) program_->Kill();
}

double RouterSession::BytesPerSecond() const {
  const std::int64_t elapsedMs = loop_.NowMs() - uploadStartedMs_;
  if (phase_ != Phase::Upload || elapsedMs <= 0) return 0;
  return static_cast<double>(uploadBytes_) * percent_ / 100.0 * 1000.0 / static_cast<double>(elapsedMs);
}

std::string RouterSession::PartPath() const { return *settings_.backupDir + "/.fleet-" + row_.address + ".part"; }

void RouterSession::StartBackup() {
  phase_ = Phase::Backup;
  // The ROM file field of the single-router program holds 31 characters:
  // it writes a short name inside the directory, which becomes the real
  // name once the data is complete.
  const std::string part = PartPath();
  RemoveFile(part);
  RemoveFile(part + ".BAK");
  RunProgram({"get", row_.address, Word(row_.password), Word(row_.romId), settings_.romOffset, settings_.romLength,
              FileNamePart(part)},
             *settings_.backupDir, [this](int status) { BackupEnded(status); });
}

void RouterSession::BackupEnded(int status) {
  const std::string part = PartPath();
  const std::string name = *settings_.backupDir + "/" + row_.address + "-" + SafeNamePart(row_.romId) + "-" +
                           UtcTimestamp(true) + ".bin";
  const bool saved = !interrupted_ && status == 0 && FileExists(part) && RenameFile(part, name);
  RemoveFile(part + ".BAK");
  if (!saved) {
    RemoveFile(part);
    Finish(RouterResult::Failed, interrupted_ ? "interrupted" : "backup failed: " + FailureText(status));
    return;
  }
  row_.backup = name;
  StartUpload();
}

void RouterSession::StartUpload() {
  phase_ = Phase::Upload;
  percent_ = 0;
  uploadStartedMs_ = loop_.NowMs();
  uploadBytes_ = 0;
  for (const std::string& file : row_.files) uploadBytes_ += FileSize(file).value_or(0);
  listener_.changed();
  RunProgram({"put", row_.address, Word(row_.password), Word(row_.romId), row_.files.front()}, {},
             [this](int status) { UploadEnded(status); });
}

void RouterSession::UploadEnded(int status) {
  if (interrupted_ || status != 0) {
    Finish(RouterResult::Failed, interrupted_ ? "interrupted" : FailureText(status));
    return;
  }
  StartVerify();
}

void RouterSession::StartVerify() {
  phase_ = Phase::RebootWait;
  percent_ = 0;
  listener_.changed();
  program_.reset();
  const bool anyRomId = row_.crashed;
  const auto accept = [this, anyRomId](const RunningRouterPoll::Answer& answer) {
    if (!anyRomId && answer.romId != row_.romId) return false;
    return !settings_.targetInfo || answer.info == *settings_.targetInfo;
  };
  poll_ = MakeRunningRouterPoll(loop_);
  std::string error;
  if (!poll_->Start(row_.address, settings_.verifyTimeoutMs, accept,
                    [this](bool accepted, const auto& last) { VerifyEnded(accepted, last); }, error)) {
    Finish(RouterResult::NotVerified, "cannot ask: " + error);
  }
}

void RouterSession::VerifyEnded(bool accepted, const std::optional<RunningRouterPoll::Answer>& last) {
  if (last) row_.infoAfter = last->info;
  if (accepted) {
    Finish(RouterResult::Verified, row_.crashed && settings_.backupDir ? "crashed: nothing to back up" : "");
  } else if (last) {
    Finish(RouterResult::NotVerified, "answers as ROM ID " + last->romId + " with info \"" + last->info + "\"");
  } else {
    Finish(RouterResult::NotVerified, "no answer in " + std::to_string(settings_.verifyTimeoutMs / 1000) + " s");
  }
}

bool RouterSession::RunProgram(std::vector<std::string> words, const std::string& directory,
                               ProgramRun::Ended ended) {
  lastMessage_.clear();
  lastStatus_.clear();
  lastLog_.clear();
  sessionMethod_ = FleetMethod::None;
  tftpProgress_ = {};
  words.insert(words.begin(), settings_.programPath);
  program_ = std::make_unique<ProgramRun>(
      loop_, [this](const SessionLine& line) { OnLine(line); }, std::move(ended));
  std::string error;
  if (program_->Start(ChildProcess::Launch{words, directory, true}, error)) return true;
  Finish(RouterResult::Failed, "cannot start " + settings_.programPath + ": " + error);
  return false;
}

void RouterSession::OnLine(const SessionLine& line) {
  switch (line.kind) {
    case SessionLine::Kind::Progress:
      percent_ = line.percent;
      listener_.changed();
      return;
    case SessionLine::Kind::Status: lastStatus_ = line.text; break;
    case SessionLine::Kind::Message: lastMessage_ = line.text; break;
    case SessionLine::Kind::Log:
      lastLog_ = line.text;
      if (const auto percent = tftpProgress_.Read(line.text); percent && *percent != percent_) {
        percent_ = *percent;
        listener_.changed();
      }
      sessionMethod_ = MethodFromLogLine(line.text, sessionMethod_);
      if (phase_ == Phase::Upload && sessionMethod_ != FleetMethod::None) row_.method = sessionMethod_;
      break;
  }
  listener_.line(row_.address, line);
}

std::string RouterSession::FailureText(int status) const {
  // A message box is what the program gives as its verdict; without one,
  // its last log line says more than a status prompt.
  if (!lastMessage_.empty()) return lastMessage_;
  if (!lastLog_.empty()) return lastLog_;
  if (!lastStatus_.empty()) return lastStatus_;
  return "ended with exit status " + std::to_string(status);
}

void RouterSession::Finish(RouterResult result, std::string reason) {
  if (phase_ == Phase::Done) return;
  phase_ = Phase::Done;
  poll_.reset();
  row_.result = result;
  row_.reason = std::move(reason);
  row_.seconds = static_cast<double>(loop_.NowMs() - startedMs_) / 1000.0;
  LogRouterDone(log_, row_);
  listener_.done();
}

}  // namespace fwu
