#include "gui/win32/dpi_scale.h"

namespace fwu {

namespace {

constexpr int kDialogFontPoints = 8;

}  // namespace

HFONT DpiScale::DialogFont() const {
  return CreateFontW(-MulDiv(kDialogFontPoints, static_cast<int>(dpi_), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg 2");
}

UINT DpiScale::DpiOf(HWND window) {
  // GetDpiForWindow came with Windows 10; earlier systems scale by the
  // screen's one density.
  using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && window != nullptr) return getDpiForWindow(window);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

}  // namespace fwu
