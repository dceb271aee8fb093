#pragma once

#include <windows.h>

namespace fwu {

// The window's sizes are design pixels at 96 DPI; a monitor of another
// density gets them scaled, and a font made for it.
class DpiScale {
 public:
  static constexpr UINT kDesignDpi = 96;

  UINT Dpi() const { return dpi_; }
  void SetDpi(UINT dpi) { dpi_ = dpi == 0 ? kDesignDpi : dpi; }
  int operator()(int designPixels) const { return MulDiv(designPixels, static_cast<int>(dpi_), kDesignDpi); }

  // The dialog font of the system at this density; the caller deletes it.
  HFONT DialogFont() const;
  // What the DPI of a window is, on systems old and new.
  static UINT DpiOf(HWND window);

 private:
  UINT dpi_ = kDesignDpi;
};

}  // namespace fwu
