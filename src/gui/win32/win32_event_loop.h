#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>

#include "platform/event_loop.h"
#include "platform/task_queue.h"
#include "platform/timer_queue.h"

namespace fwu {

// The core's event loop on the thread's Windows message queue. Timers,
// posted tasks and socket readiness all arrive as messages to one hidden
// window, so they keep coming while a modal loop the system runs (a
// message box, the file chooser) has the thread: the watchdog ticks on
// under an open box. Create it on the window thread.
class Win32EventLoop final : public EventLoop {
 public:
  using ExceptionBox = std::function<void(const std::string& what)>;

  Win32EventLoop();
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  std::int64_t NowMs() const override;
  TimerId StartTimer(std::int64_t intervalMs, std::function<void()> onTick) override;
  void StopTimer(TimerId id) override;
  WatchId WatchFd(int fd, Interest interest, std::function<void()> onReady) override;
  void Unwatch(WatchId id) override;
  void Post(std::function<void()> task) override;
  void ProcessPending() override;
  void WaitMs(std::int64_t ms, bool processEvents) override;
  void RunUntil(const std::function<bool()>& done) override;
  void Quit() override;
  bool QuitRequested() const override { return quit_; }

  // A failure that leaves a handler is shown here and the program goes on,
  // as the framework of the original did; it must never unwind through the
  // system's message dispatch.
  void SetExceptionBox(ExceptionBox box) { exceptionBox_ = std::move(box); }
  void Guarded(const std::function<void()>& handler);

 private:
  struct Watch {
    int fd;
    Interest interest;
    std::function<void()> onReady;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void FireTimers();
  void RunTasks();
  void SocketReady(int fd, long events);
  // Asks the system for the events of every watch still on the socket.
  void SelectSocketEvents(int fd);
  // One Windows timer, set for the earliest core timer.
  void ArmTimer();
  void DispatchWaiting();

  HWND window_ = nullptr;
  TimerQueue timers_;
  TaskQueue tasks_;
  std::map<WatchId, Watch> watches_;
  WatchId nextWatch_ = 1;
  std::atomic<bool> wakePosted_{false};
  std::atomic<bool> quit_{false};
  ExceptionBox exceptionBox_;
};

// Hands a message to the dialog navigation of its top window (Tab, arrow
// keys) or else to its window procedure. Every pump of the view uses it.
void DispatchThreadMessage(MSG& message);

}  // namespace fwu
