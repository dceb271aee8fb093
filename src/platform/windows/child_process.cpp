#include "platform/child_process.h"

#include "platform/command_line.h"
#include "platform/windows/end_request.h"
#include "platform/windows/pipe_reader.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/winsock.h"

#include <array>
#include <utility>

namespace fwu {

namespace {

// What TryWait reports for a child that Kill ended: the status a SIGKILL
// gives on POSIX, so that both systems' reports read alike.
constexpr UINT kKilledStatus = 128 + 9;

// Closes on every ending of Start, unless handed on.
struct OwnedHandle {
  HANDLE handle = nullptr;
  ~OwnedHandle() {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  HANDLE Release() { return std::exchange(handle, nullptr); }
};

std::string Failed(const char* call) { return std::string(call) + ": " + SystemErrorText(GetLastError()); }

// A job that ends the child, and whatever the child starts, once its last
// handle closes: when this program ends in any way, the system closes it.
HANDLE KillOnCloseJob() {
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

struct ChildProcess::Handles {
  HANDLE process = nullptr;
  HANDLE job = nullptr;
  HANDLE endRequest = nullptr;
  std::array<std::unique_ptr<PipeReader>, 2> read;  // Output, Error
  std::optional<int> status;
};

ChildProcess::ChildProcess() : handles_(std::make_unique<Handles>()) {}

ChildProcess::~ChildProcess() {
  if (handles_->process != nullptr) {
    if (!handles_->status) {
      Kill();
      WaitForSingleObject(handles_->process, INFINITE);
    }
    CloseHandle(handles_->process);
  }
  // Ends what the child started, so that no one holds a pipe the readers wait on.
  if (handles_->job != nullptr) CloseHandle(handles_->job);
  if (handles_->endRequest != nullptr) CloseHandle(handles_->endRequest);
  for (auto& reader : handles_->read) reader.reset();
}

bool ChildProcess::Start(const Launch& launch) {
  const auto application = Widen(launch.argv.empty() ? std::string() : launch.argv.front());
  auto commandLine = Widen(QuoteCommandLine(launch.argv));
  const auto directory = Widen(launch.workingDirectory);
  if (launch.argv.empty() || !application || !commandLine || !directory) {
    failure_ = "the program's name, arguments or folder are not Unicode text";
    return false;
  }
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  std::array<OwnedHandle, 2> readEnd, writeEnd;
  for (std::size_t i = 0; i < readEnd.size(); ++i) {
    // Only the child's ends are inherited, or a later child would hold
    // this one's pipes open.
    if (!CreatePipe(&readEnd[i].handle, &writeEnd[i].handle, &inheritable, 0) ||
        !SetHandleInformation(readEnd[i].handle, HANDLE_FLAG_INHERIT, 0)) {
      failure_ = Failed("CreatePipe");
      return false;
    }
  }
  OwnedHandle input{CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                0, nullptr)};
  if (input.handle == INVALID_HANDLE_VALUE) {
    failure_ = Failed("NUL");
    return false;
  }
  OwnedHandle job{KillOnCloseJob()};
  if (job.handle == nullptr) {
    failure_ = Failed("CreateJobObject");
    return false;
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.handle;
  startup.hStdOutput = writeEnd[0].handle;
  startup.hStdError = writeEnd[1].handle;
  // A console of its own, never shown: no window flashes up, and nothing
  // typed at this program's console (Ctrl+C) reaches the child, which
  // RequestEnd alone asks to end.
  const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application->c_str(), commandLine->data(), nullptr, nullptr, TRUE, flags, nullptr,
                      directory->empty() ? nullptr : directory->c_str(), &startup, &started)) {
    failure_ = Failed("CreateProcess");
    return false;
  }
  OwnedHandle thread{started.hThread};
  OwnedHandle process{started.hProcess};
  // In the job before it runs a single instruction, so that nothing it
  // starts escapes.
  if (!AssignProcessToJobObject(job.handle, process.handle)) {
    failure_ = Failed("AssignProcessToJobObject");
    TerminateProcess(process.handle, kKilledStatus);
    return false;
  }
  // There before the child can look for it.
  OwnedHandle endRequest{CreateEventW(nullptr, TRUE, FALSE, EndRequestEventName(started.dwProcessId).c_str())};
  if (endRequest.handle == nullptr) {
    failure_ = Failed("CreateEvent");
    TerminateProcess(process.handle, kKilledStatus);
    return false;
  }
  ResumeThread(thread.handle);

  handles_->process = process.Release();
  handles_->job = job.Release();
  handles_->endRequest = endRequest.Release();
  for (std::size_t i = 0; i < readEnd.size(); ++i) handles_->read[i] = std::make_unique<PipeReader>(readEnd[i].Release());
  return true;
}

int ChildProcess::Descriptor(Stream stream) const {
  const auto& reader = handles_->read[static_cast<int>(stream)];
  return reader ? reader->Descriptor() : -1;
}

bool ChildProcess::Read(Stream stream, std::string& into) {
  const auto& reader = handles_->read[static_cast<int>(stream)];
  return reader && reader->Read(into);
}

void ChildProcess::RequestEnd() {
  if (handles_->process != nullptr && !handles_->status) SetEvent(handles_->endRequest);
}

void ChildProcess::Kill() {
  if (handles_->process != nullptr && !handles_->status) TerminateJobObject(handles_->job, kKilledStatus);
}

std::optional<int> ChildProcess::TryWait() {
  if (handles_->status || handles_->process == nullptr) return handles_->status;
  DWORD code = 0;
  if (WaitForSingleObject(handles_->process, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(handles_->process, &code)) {
    return std::nullopt;
  }
  handles_->status = static_cast<int>(code);
  return handles_->status;
}

}  // namespace fwu
