#include "gui/win32/group_panel.h"

namespace fwu {

namespace {

constexpr wchar_t kClassName[] = L"FwuGroupPanel";

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(panel), message, wParam, lParam);
    case WM_SIZE:
      // Beneath the group's controls, which are all made by now.
      SetWindowPos(GroupFrameOf(panel), HWND_BOTTOM, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOACTIVATE);
      return 0;
    default: return DefWindowProcW(panel, message, wParam, lParam);
  }
}

}  // namespace

HWND CreateGroupPanel(HWND parent, int id, const wchar_t* caption, HFONT font) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW panelClass{};
  panelClass.cbSize = sizeof panelClass;
  panelClass.lpfnWndProc = PanelProc;
  panelClass.hInstance = instance;
  panelClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  panelClass.lpszClassName = kClassName;
  RegisterClassExW(&panelClass);  // the later groups find it registered
  HWND panel = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  HWND frame = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0, 0, 0, panel, nullptr,
                               instance, nullptr);
  SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  return panel;
}

HWND GroupFrameOf(HWND panel) { return reinterpret_cast<HWND>(GetWindowLongPtrW(panel, GWLP_USERDATA)); }

}  // namespace fwu
