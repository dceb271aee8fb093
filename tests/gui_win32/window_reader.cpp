#include "window_reader.h"

#include <commctrl.h>

#include "gui/win32/control_binding.h"
#include "gui/win32/view_text.h"
#include "platform/clock.h"
#include "platform/event_loop.h"

namespace fwu::testing {

HWND FindControl(HWND root, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM state) -> BOOL {
        auto* search = reinterpret_cast<Search*>(state);
        if (GetDlgCtrlID(child) != search->id) return TRUE;
        search->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TextOf(HWND window) { return ModelText(WindowText(window)); }

std::vector<std::string> ComboItems(HWND box) {
  std::vector<std::string> items;
  for (const std::wstring& item : ComboBoxItems(box)) items.push_back(ModelText(item));
  return items;
}

std::string StatusText(HWND statusBar) {
  std::wstring text(static_cast<std::size_t>(LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, 0, 0))) + 1, L'\0');
  text.resize(LOWORD(SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()))));
  return ModelText(text);
}

RECT PlaceInTop(HWND window) {
  RECT place;
  GetWindowRect(window, &place);
  MapWindowPoints(nullptr, GetAncestor(window, GA_ROOT), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

int ClientHeight(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return client.bottom;
}

bool ShownOnScreen(HWND window) { return IsWindowVisible(window) != FALSE; }

std::vector<HWND> ThreadWindows(const wchar_t* windowClass) {
  struct Search {
    const wchar_t* windowClass;
    std::vector<HWND> found;
  } search{windowClass, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM state) -> BOOL {
        auto* search = reinterpret_cast<Search*>(state);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (IsWindowVisible(window) && std::wstring(name) == search->windowClass) search->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool WaitFor(EventLoop& loop, const std::function<bool()>& done, int timeoutMs) {
  const std::int64_t deadline = MonotonicMs() + timeoutMs;
  while (!done()) {
    if (MonotonicMs() > deadline) return false;
    loop.WaitMs(10, true);
  }
  return true;
}

void TypeInto(HWND control, const std::string& text) {
  for (const wchar_t key : ViewText(text)) PostMessageW(control, WM_CHAR, key, 1);
}

}  // namespace fwu::testing
