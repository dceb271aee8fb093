#include "gui/win32/modal_window.h"

namespace fwu {

namespace {

// The icon's number in the program's resources.
constexpr int kProgramIcon = 1;

}  // namespace

void ShowModalOver(HWND owner, HWND dialog, const std::function<void()>& run) {
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  run();
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (owner != nullptr && IsWindowVisible(owner)) SetActiveWindow(owner);
  ShowWindow(dialog, SW_HIDE);
}

void RegisterViewClass(const wchar_t* name, WNDPROC procedure) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  // Every window of the program carries its one icon.
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

void PlaceCentred(HWND window, HWND owner, int clientWidth, int clientHeight) {
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
  RECT around;
  if (owner == nullptr || !IsWindowVisible(owner) || !GetWindowRect(owner, &around)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, around.left + (around.right - around.left - width) / 2,
               around.top + (around.bottom - around.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fwu
