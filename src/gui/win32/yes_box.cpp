#include "gui/win32/yes_box.h"

#include <algorithm>

#include "gui/win32/dpi_scale.h"
#include "gui/win32/modal_window.h"
#include "gui/win32/view_text.h"
#include "platform/event_loop.h"

namespace fwu {

namespace {

constexpr wchar_t kClassName[] = L"FwuYesBox";
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kMaxTextWidth = 400;

struct YesBoxState {
  bool answered = false;
};

LRESULT CALLBACK YesBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = AttachedObject<YesBoxState>(window, message, lParam);
  const bool answer = (message == WM_COMMAND && (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDCANCEL ||
                                                 LOWORD(wParam) == IDOK)) ||
                      message == WM_CLOSE;
  if (answer && state != nullptr) {
    state->answered = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LPCWSTR IconOf(BoxKind kind) {
  switch (kind) {
    case BoxKind::Warning: return IDI_WARNING;
    case BoxKind::Error: return IDI_ERROR;
    case BoxKind::Message: break;
  }
  return nullptr;
}

}  // namespace

void ShowYesBox(EventLoop& loop, HWND owner, const MessageRequest& request) {
  RegisterViewClass(kClassName, YesBoxProc);
  YesBoxState state;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, ViewText(request.caption).c_str(),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, owner, nullptr, instance, &state);
  DpiScale scale;
  scale.SetDpi(DpiScale::DpiOf(box));
  HFONT font = scale.DialogFont();
  const std::wstring text = ViewText(request.text);

  // The text's size as the system will draw it, wrapped at a width a box
  // would take.
  RECT textRect{0, 0, scale(kMaxTextWidth), 0};
  HDC dc = GetDC(box);
  HGDIOBJ old = SelectObject(dc, font);
  DrawTextW(dc, text.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(box, dc);

  const LPCWSTR icon = IconOf(request.kind);
  const int textLeft = scale(kMargin) + (icon != nullptr ? scale(kIconSize + kMargin) : 0);
  const int contentHeight = std::max<int>(textRect.bottom, icon != nullptr ? scale(kIconSize) : 0);
  const int width = std::max<int>(textLeft + textRect.right + scale(kMargin), scale(kButtonWidth + 2 * kMargin));
  const int height = scale(kMargin) + contentHeight + scale(kMargin + kButtonHeight + kMargin);
  const auto child = [&](const wchar_t* windowClass, const wchar_t* caption, DWORD style, int id, RECT place) {
    HWND control = CreateWindowExW(0, windowClass, caption, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                   place.right, place.bottom, box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  if (icon != nullptr) {
    HWND iconControl = child(L"STATIC", L"", SS_ICON, 0, {scale(kMargin), scale(kMargin), scale(kIconSize), scale(kIconSize)});
    SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
  }
  child(L"STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX, 0, {textLeft, scale(kMargin), textRect.right, textRect.bottom});
  HWND yes = child(L"BUTTON", L"&Yes", BS_DEFPUSHBUTTON | WS_TABSTOP, IDYES,
                   {(width - scale(kButtonWidth)) / 2, height - scale(kMargin + kButtonHeight), scale(kButtonWidth),
                    scale(kButtonHeight)});
  PlaceCentred(box, owner, width, height);
  ShowModalOver(owner, box, [&] {
    SetFocus(yes);
    loop.RunUntil([&state] { return state.answered; });
  });
  DestroyWindow(box);
  DeleteObject(font);
}

}  // namespace fwu
