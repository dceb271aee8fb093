#include "gui/win32/notice_view.h"

#include <richedit.h>

#include "gui/win32/control_ids.h"
#include "gui/win32/dpi_scale.h"
#include "gui/win32/modal_window.h"
#include "gui/win32/view_text.h"
#include "notice/back_color.h"
#include "notice/hint_form.h"
#include "ui/modal_run.h"

namespace fwu {

namespace {

constexpr wchar_t kClassName[] = L"FwuHintForm";

struct RtfReader {
  const std::string& rtf;
  std::size_t offset = 0;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG capacity, LONG* read) {
  auto& reader = *reinterpret_cast<RtfReader*>(cookie);
  const std::size_t count = std::min(static_cast<std::size_t>(capacity), reader.rtf.size() - reader.offset);
  std::copy_n(reader.rtf.data() + reader.offset, count, buffer);
  reader.offset += count;
  *read = static_cast<LONG>(count);
  return 0;
}

// The control's own library: it registers the class when loaded, and
// stays for the program's life.
void LoadRichEdit() {
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
  (void)library;
}

}  // namespace

COLORREF NoticeBackground(std::uint32_t backColor) {
  if (IsSystemColour(backColor)) return GetSysColor(SystemColourIndex(backColor));
  const TextColour colour = ExplicitColour(backColor);
  return RGB(colour.red, colour.green, colour.blue);
}

NoticeView::NoticeView(THintForm& form) : form_(form) {
  LoadRichEdit();
  RegisterViewClass(kClassName, WindowProc);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  window_ = CreateWindowExW(0, kClassName, ViewText(form.Caption()).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                            nullptr, instance, this);
  DpiScale scale;
  scale.SetDpi(DpiScale::DpiOf(window_));
  PlaceCentred(window_, nullptr, scale(THintForm::kWidth), scale(THintForm::kHeight));
  RECT client;
  GetClientRect(window_, &client);
  text_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                          WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                              ES_AUTOVSCROLL | ES_DISABLENOSCROLL,
                          0, 0, client.right, client.bottom, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id::RichEdit1)), instance, nullptr);
  SendMessageW(text_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(NoticeBackground(form.BackColor())));
  // Lines wrap at the window's edge.
  SendMessageW(text_, EM_SETTARGETDEVICE, 0, 0);
  subscriptions_.Watch(form, [this] {
    ShowPhase();
    if (!form_.IsOpen()) ShowWindow(window_, SW_HIDE);
  });
}

NoticeView::~NoticeView() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT CALLBACK NoticeView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = AttachedObject<NoticeView>(window, message, lParam);
  if (view != nullptr && message == WM_CLOSE) {
    view->form_.UserClose();
    return 0;
  }
  if (view != nullptr && message == WM_SIZE) MoveWindow(view->text_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
  return DefWindowProcW(window, message, wParam, lParam);
}

void NoticeView::ShowPhase() {
  if (form_.TextVisible() == textShown_) return;
  textShown_ = form_.TextVisible();
  if (!textShown_) {
    SetWindowTextW(text_, L"");
    return;
  }
  RtfReader reader{form_.Notice().rtf};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reader), 0, ReadRtf};
  SendMessageW(text_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  SendMessageW(text_, EM_SETSEL, 0, 0);
  SendMessageW(text_, WM_VSCROLL, SB_TOP, 0);
}

void Win32NoticeDisplay::ShowModal(THintForm& form) {
  NoticeView view(form);
  HWND owner = owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr;
  ShowModalOver(owner, view.Handle(), [this, &form] { RunModal(loop_, form); });
}

}  // namespace fwu
