#include "platform/termination_requests.h"

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <memory>

#include "platform/wake_signal.h"
#include "platform/windows/console_read_wake.h"
#include "platform/windows/end_request.h"
#include "platform/windows/winsock.h"

namespace fwu {

namespace {

// The console calls the handler on a thread of its own; it touches only
// these, made before it is installed.
// CTRL_C_EVENT is 0, so "none" needs a value of its own.
constexpr DWORD kNoRequest = ~DWORD{0};
// The parent's request (end_request.h), which no console sends.
constexpr DWORD kParentRequest = 0x100;
std::atomic<DWORD> requestedEvent{kNoRequest};
std::unique_ptr<WakeSignal> wake;
int nullInput = -1;
HANDLE parentRequest = nullptr;
HANDLE parentRequestWait = nullptr;

// The names the POSIX build reports for the same requests, so the log
// reads the same on every system.
const char* RequestName(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: return "SIGINT";
    case CTRL_CLOSE_EVENT: return "SIGHUP";
    default: return "SIGTERM";
  }
}

BOOL WINAPI OnControl(DWORD event) {
  DWORD none = kNoRequest;
  // A second request: the default handler ends the process at once.
  if (!requestedEvent.compare_exchange_strong(none, event)) return FALSE;
  // A read that has not started yet sees the end of input; a console read
  // already waiting is woken.
  WakeConsoleRead();
  if (nullInput >= 0) _dup2(nullInput, 0);
  wake->Raise();
  // The system ends the process as soon as the handler returns from a
  // close, log-off or shut-down, so it waits here for the orderly end,
  // which ends the process (and this thread) itself; the system's own
  // grace period bounds the wait.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(INFINITE);
  return TRUE;
}

void CALLBACK OnParentRequest(void*, BOOLEAN) { OnControl(kParentRequest); }

}  // namespace

TerminationRequests::TerminationRequests(EventLoop& loop, Handler onRequest)
    : loop_(loop), onRequest_(std::move(onRequest)) {
  wake = std::make_unique<WakeSignal>();
  nullInput = _open("NUL", _O_RDONLY);
  requestedEvent = kNoRequest;
  SetConsoleCtrlHandler(OnControl, TRUE);
  // Only a program of ours made this event, when it started this one.
  parentRequest = OpenEventW(SYNCHRONIZE, FALSE, EndRequestEventName(GetCurrentProcessId()).c_str());
  if (parentRequest != nullptr &&
      !RegisterWaitForSingleObject(&parentRequestWait, parentRequest, OnParentRequest, nullptr, INFINITE,
                                   WT_EXECUTEONLYONCE)) {
    parentRequestWait = nullptr;
  }
  watch_ = loop_.WatchFd(wake->Descriptor(), EventLoop::Interest::Readable, [this] { Deliver(); });
}

TerminationRequests::~TerminationRequests() {
  SetConsoleCtrlHandler(OnControl, FALSE);
  // Waits for a callback under way, which still uses the wake signal.
  if (parentRequestWait != nullptr) UnregisterWaitEx(parentRequestWait, INVALID_HANDLE_VALUE);
  if (parentRequest != nullptr) CloseHandle(parentRequest);
  parentRequestWait = parentRequest = nullptr;
  loop_.Unwatch(watch_);
  wake.reset();
  if (nullInput >= 0) _close(nullInput);
  nullInput = -1;
}

bool TerminationRequests::CheckNow() {
  if (!TerminationRequested()) return false;
  Deliver();
  return true;
}

void TerminationRequests::Deliver() {
  wake->Drain();
  if (delivered_ || !TerminationRequested()) return;
  delivered_ = true;
  onRequest_(RequestName(requestedEvent));
}

bool TerminationRequested() { return requestedEvent != kNoRequest; }

}  // namespace fwu
