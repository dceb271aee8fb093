#include "gui/win32/search_dialog.h"

#include <commctrl.h>

#include <array>

#include "gui/win32/control_ids.h"
#include "gui/win32/dpi_scale.h"
#include "gui/win32/modal_window.h"
#include "gui/win32/view_text.h"
#include "search/search_window_model.h"

namespace fwu {

namespace {

constexpr wchar_t kClassName[] = L"FwuRefreshForm";
constexpr int kSearchWidth = 300;
constexpr int kSearchHeight = 107;
constexpr int kLabelPixels = 16;
constexpr int kSmallestLabelPixels = 8;
// Inside the upper box, a margin each side.
constexpr RECT kLabelArea{8, 0, 289, 0};

HFONT LabelFont(int pixels) {
  return CreateFontW(-pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_ROMAN, L"Times New Roman");
}

// The original's 16-pixel bold Times New Roman, made smaller where the
// font that stands in for it would not fit the line into the window.
HFONT FittedLabelFont(HWND label, const std::wstring& text, int width, int pixelsAt96, const DpiScale& scale) {
  HDC dc = GetDC(label);
  for (int pixels = pixelsAt96;; --pixels) {
    HFONT font = LabelFont(scale(pixels));
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    if (extent.cx <= width || pixels <= kSmallestLabelPixels) {
      ReleaseDC(label, dc);
      return font;
    }
    DeleteObject(font);
  }
}

}  // namespace

ModalDialogView::ModalDialogView(HWND owner, ModalWindowModel& window) {
  RegisterViewClass(kClassName, WindowProc);
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, ViewText(window.Caption()).c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, 0, 0, 0, 0, owner, nullptr,
                            GetModuleHandleW(nullptr), this);
  DpiScale scale;
  scale.SetDpi(DpiScale::DpiOf(window_));
  dialogFont_ = scale.DialogFont();
  PlaceCentred(window_, owner, scale(kSearchWidth), scale(kSearchHeight));
  if (auto* search = dynamic_cast<SearchWindowModel*>(&window)) BuildSearchControls(*search);
  controls_.Subscriptions().Watch(window, [this, &window] {
    if (!window.IsOpen()) ShowWindow(window_, SW_HIDE);
  });
}

ModalDialogView::~ModalDialogView() {
  DestroyWindow(window_);
  DeleteObject(dialogFont_);
  for (HFONT font : labelFonts_) DeleteObject(font);
}

LRESULT CALLBACK ModalDialogView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AttachedObject<ModalDialogView>(window, message, lParam);
  // The window's own code closes it, not the user.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

void ModalDialogView::BuildSearchControls(SearchWindowModel& search) {
  DpiScale scale;
  scale.SetDpi(DpiScale::DpiOf(window_));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto make = [&](const wchar_t* windowClass, DWORD style, int id, RECT design) {
    HWND control = CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, scale(design.left),
                                   scale(design.top), scale(design.right - design.left),
                                   scale(design.bottom - design.top), window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont_), FALSE);
    return control;
  };
  // The original's two caption-less boxes: the two lines of text in the
  // upper one, the thin bar in the lower one. The lines are centred rather
  // than placed at the original's pixel offsets, which clip them in fonts
  // wider than the original's.
  const std::array labels{std::pair{&search.Label1, control_id::Label1}, std::pair{&search.Label2, control_id::Label2}};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const auto [model, id] = labels[i];
    const int top = 14 + static_cast<int>(i) * 32;
    HWND label = make(L"STATIC", SS_CENTER, id, {kLabelArea.left, top, kLabelArea.right, top + 24});
    controls_.ShowLabel(*model, label);
    labelFonts_[i] = FittedLabelFont(label, ViewText(model->Text()), scale(kLabelArea.right - kLabelArea.left),
                                     kLabelPixels, scale);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(labelFonts_[i]), FALSE);
  }
  make(L"BUTTON", BS_GROUPBOX, 0, {0, 0, 297, 81});
  make(L"BUTTON", BS_GROUPBOX, 0, {0, 80, 297, 105});
  controls_.ShowProgressBar(search.ProgressBar1, make(PROGRESS_CLASSW, PBS_SMOOTH, control_id::SearchProgressBar1,
                                                      {4, 92, 293, 99}));
}

}  // namespace fwu
