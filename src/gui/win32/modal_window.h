#pragma once

#include <windows.h>

#include <functional>

namespace fwu {

// A window of ours shown modally: its owner takes no input while run()
// turns the loop, and gets the activation back before the window goes, so
// that no other program's window comes forward.
void ShowModalOver(HWND owner, HWND dialog, const std::function<void()>& run);

// Registers a window class of the view once (later calls find it there),
// with the program's icon and the dialog background.
void RegisterViewClass(const wchar_t* name, WNDPROC procedure);

// Puts the window's client area of the given size in the middle of the
// owner, or of the screen's work area without one.
void PlaceCentred(HWND window, HWND owner, int clientWidth, int clientHeight);

// The object a window procedure serves, stored at creation.
template <typename Object>
Object* AttachedObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace fwu
