#include "gui/win32/win32_event_loop.h"

#include <algorithm>
#include <exception>

#include "platform/clock.h"
#include "platform/windows/winsock.h"

namespace fwu {

namespace {

constexpr wchar_t kClassName[] = L"FwuEventLoop";
constexpr UINT kRunTasks = WM_APP + 1;
constexpr UINT kSocketEvent = WM_APP + 2;
constexpr UINT_PTR kTimerId = 1;

long EventsOf(EventLoop::Interest interest) {
  // A closed or failed socket counts as ready, as poll(2) reports it.
  return interest == EventLoop::Interest::Readable ? FD_READ | FD_ACCEPT | FD_CLOSE : FD_WRITE | FD_CONNECT | FD_CLOSE;
}

void RegisterClassOnce(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // a second loop finds it registered
}

}  // namespace

void DispatchThreadMessage(MSG& message) {
  HWND top = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (top != nullptr && (GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0 &&
      IsDialogMessageW(top, &message)) {
    return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

Win32EventLoop::Win32EventLoop() {
  EnsureWinsock();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterClassOnce(instance, WindowProc);
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop() {
  for (const auto& [id, watch] : watches_) WSAAsyncSelect(ToSocket(watch.fd), window_, 0, 0);
  DestroyWindow(window_);
}

std::int64_t Win32EventLoop::NowMs() const { return MonotonicMs(); }

LRESULT CALLBACK Win32EventLoop::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* loop = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (loop == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_TIMER: loop->FireTimers(); return 0;
    case kRunTasks: loop->RunTasks(); return 0;
    case kSocketEvent:
      loop->SocketReady(FromSocket(static_cast<SOCKET>(wParam)), WSAGETSELECTEVENT(lParam));
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

void Win32EventLoop::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    if (exceptionBox_) exceptionBox_(failure.what());
  }
}

EventLoop::TimerId Win32EventLoop::StartTimer(std::int64_t intervalMs, std::function<void()> onTick) {
  // Each tick on its own, as each message was: a failing tick neither
  // stops the other timers due with it nor its own next one.
  const TimerId id = timers_.Add(NowMs(), intervalMs, [this, onTick = std::move(onTick)] { Guarded(onTick); });
  ArmTimer();
  return id;
}

void Win32EventLoop::StopTimer(TimerId id) {
  timers_.Remove(id);
  ArmTimer();
}

void Win32EventLoop::ArmTimer() {
  const auto due = timers_.NextDue();
  if (!due) {
    KillTimer(window_, kTimerId);
    return;
  }
  const std::int64_t wait = std::clamp<std::int64_t>(*due - NowMs(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  SetTimer(window_, kTimerId, static_cast<UINT>(wait), nullptr);
}

void Win32EventLoop::FireTimers() {
  timers_.FireDue(NowMs());
  ArmTimer();
}

void Win32EventLoop::Post(std::function<void()> task) {
  tasks_.Push([this, task = std::move(task)] { Guarded(task); });
  // One message wakes the queue for every task pushed before it is handled.
  if (!wakePosted_.exchange(true)) PostMessageW(window_, kRunTasks, 0, 0);
}

void Win32EventLoop::RunTasks() {
  wakePosted_ = false;
  tasks_.RunQueued();
}

EventLoop::WatchId Win32EventLoop::WatchFd(int fd, Interest interest, std::function<void()> onReady) {
  const WatchId id = nextWatch_++;
  watches_.emplace(id, Watch{fd, interest, std::move(onReady)});
  SelectSocketEvents(fd);
  return id;
}

void Win32EventLoop::Unwatch(WatchId id) {
  const auto found = watches_.find(id);
  if (found == watches_.end()) return;
  const int fd = found->second.fd;
  watches_.erase(found);
  SelectSocketEvents(fd);
}

void Win32EventLoop::SelectSocketEvents(int fd) {
  long events = 0;
  for (const auto& [id, watch] : watches_) {
    if (watch.fd == fd) events |= EventsOf(watch.interest);
  }
  // The system posts a read event again after each receive that leaves
  // data behind, which serves the core as a level-triggered watch. The
  // sockets the core watches are non-blocking already, so the mode this
  // call forces on them changes nothing.
  WSAAsyncSelect(ToSocket(fd), window_, events == 0 ? 0 : kSocketEvent, events);
}

void Win32EventLoop::SocketReady(int fd, long events) {
  // Copies: a handler may end its own watch or another one. A message
  // queued before its watch ended finds nothing to call.
  std::vector<std::function<void()>> ready;
  for (const auto& [id, watch] : watches_) {
    if (watch.fd == fd && (EventsOf(watch.interest) & events) != 0) ready.push_back(watch.onReady);
  }
  for (const auto& onReady : ready) Guarded(onReady);
}

void Win32EventLoop::DispatchWaiting() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit_ = true;
      return;
    }
    DispatchThreadMessage(message);
  }
}

void Win32EventLoop::ProcessPending() {
  RunTasks();
  FireTimers();
  DispatchWaiting();
}

void Win32EventLoop::WaitMs(std::int64_t ms, bool processEvents) {
  if (!processEvents) {
    SleepMs(ms);
    return;
  }
  const std::int64_t deadline = NowMs() + ms;
  for (std::int64_t left = ms; left > 0; left = deadline - NowMs()) {
    DispatchWaiting();
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::max<std::int64_t>(deadline - NowMs(), 0)),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  ProcessPending();
}

void Win32EventLoop::RunUntil(const std::function<bool()>& done) {
  // done() only changes through a message, so it is looked at after each
  // batch of them.
  while (!quit_ && !done()) {
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    DispatchWaiting();
  }
}

void Win32EventLoop::Quit() {
  quit_ = true;
  // Wake a loop that sleeps so that it sees the request.
  Post([] {});
}

}  // namespace fwu
