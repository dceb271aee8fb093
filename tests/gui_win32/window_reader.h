#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace fwu {
class EventLoop;
}

namespace fwu::testing {

// What a test reads back from the windows on screen, as the user sees it.

// The descendant of root with this control number, however deep.
HWND FindControl(HWND root, int id);
std::string TextOf(HWND window);
std::vector<std::string> ComboItems(HWND box);
std::string StatusText(HWND statusBar);
// The window's place in its top window's client area.
RECT PlaceInTop(HWND window);
int ClientHeight(HWND window);
bool ShownOnScreen(HWND window);

// The visible top windows of this thread with the given class.
std::vector<HWND> ThreadWindows(const wchar_t* windowClass);

// Turns the loop until done() holds or the time is up.
bool WaitFor(EventLoop& loop, const std::function<bool()>& done, int timeoutMs = 3000);

// Typing as the keyboard does it: one WM_CHAR a key, posted.
void TypeInto(HWND control, const std::string& text);

}  // namespace fwu::testing
