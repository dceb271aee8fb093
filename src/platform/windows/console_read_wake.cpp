#include "platform/windows/console_read_wake.h"

#include <mutex>

namespace fwu {

namespace {

// The reader and the request's thread meet only here, under the lock, so
// that an Enter is typed only into a read still waiting, and one typed too
// late is always taken out again.
std::mutex guard;
HANDLE reading = nullptr;
bool woken = false;

}  // namespace

void BeginConsoleRead(HANDLE input) {
  const std::lock_guard lock(guard);
  reading = input;
  woken = false;
}

void EndConsoleRead(bool lineRead) {
  const std::lock_guard lock(guard);
  if (woken && !lineRead) FlushConsoleInputBuffer(reading);
  reading = nullptr;
  woken = false;
}

void WakeConsoleRead() {
  const std::lock_guard lock(guard);
  if (reading == nullptr || woken) return;
  INPUT_RECORD enter[2] = {};
  for (INPUT_RECORD& record : enter) {
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
    record.Event.KeyEvent.uChar.UnicodeChar = L'\r';
  }
  enter[0].Event.KeyEvent.bKeyDown = TRUE;
  DWORD written = 0;
  woken = WriteConsoleInputW(reading, enter, 2, &written) && written > 0;
}

}  // namespace fwu
