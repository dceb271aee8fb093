#include "gui/win32/main_window.h"

#include <commctrl.h>

#include "app/upgrade_form.h"
#include "gui/win32/control_ids.h"
#include "gui/win32/group_panel.h"
#include "gui/win32/modal_window.h"
#include "gui/win32/view_text.h"
#include "gui/win32/win32_event_loop.h"

namespace fwu {

namespace {

constexpr wchar_t kClassName[] = L"FwuUpgradeForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr char kEnterKey = 13;
// The keyboard's context bit of a key message: Alt was held.
constexpr LPARAM kAltHeld = LPARAM{1} << 29;

std::optional<FunctionKey> ExitKeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_F1: return FunctionKey::F1;
    case VK_F2: return FunctionKey::F2;
    case VK_F3: return FunctionKey::F3;
    case VK_F4: return FunctionKey::F4;
    case VK_F5: return FunctionKey::F5;
    default: return std::nullopt;
  }
}

}  // namespace

MainWindow::MainWindow(TUpgradeForm1& form, Win32EventLoop& loop) : form_(form), loop_(loop) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterViewClass(kClassName, WindowProc);
  window_ = CreateWindowExW(kWindowExStyle, kClassName, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                            nullptr, instance, this);
  scale_.SetDpi(DpiScale::DpiOf(window_));
  font_ = scale_.DialogFont();
  BuildSearchGroup();
  BuildPasswordGroup();
  BuildFileGroup();
  BuildToolGroup();
  BuildProgressGroup();
  BuildLogGroup();
  BuildStatusBar();
  WatchWindow();
}

MainWindow::~MainWindow() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  DeleteObject(font_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = AttachedObject<MainWindow>(window, message, lParam);
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  self->window_ = window;  // messages come before CreateWindowExW returns
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      loop_.Guarded([&] { controls_.Command(LOWORD(wParam), HIWORD(wParam)); });
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == passwordInfo_) {
        auto* dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_ACTIVATE:
      // Only the first activation runs the start-up dispatch: every other
      // window of the program is modal, and neither the end of a modal
      // dialog nor a switch from another program is an activation of the
      // form. It runs once the activation is over, as it may open dialogs.
      if (LOWORD(wParam) != WA_INACTIVE && !activatedOnce_) {
        activatedOnce_ = true;
        Posted(&TUpgradeForm1::FormActivate);
      }
      break;
    case WM_CLOSE:
      // The form asks its close query; when it lets the window go it
      // releases it, which hides this window through the window model.
      if (!form_.Closed()) Posted(&TUpgradeForm1::Close);
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
      return 0;
    }
    default: break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::Posted(void (TUpgradeForm1::*handler)()) {
  loop_.Post([this, handler] { (form_.*handler)(); });
}

HWND MainWindow::AddGroup(GroupModel& model, int id) {
  HWND panel = CreateGroupPanel(window_, id, ViewText(model.Caption()).c_str(), font_);
  groups_.emplace_back(&model, panel);
  controls_.Subscriptions().Watch(model, [this, &model, panel] {
    EnableWindow(panel, model.Enabled());
    StackGroups();
  });
  return panel;
}

HWND MainWindow::AddControl(HWND panel, const wchar_t* windowClass, DWORD style, int id, RECT design) {
  HWND control = CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, panel,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  placements_.emplace_back(control, design);
  return control;
}

void MainWindow::BuildSearchGroup() {
  MainWindowModels& m = form_.Models();
  HWND group = AddGroup(m.SearchGroup, control_id::SearchGroup);
  controls_.ShowLabel(m.searchLabel, AddControl(group, L"STATIC", SS_LEFT, control_id::searchLabel, {8, 11, 338, 25}));
  routerList_ = AddControl(group, WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                           control_id::IPComBox, {8, 27, 258, 227});
  controls_.ShowComboBox(m.IPComBox, routerList_, [this] { SelectRouter(); });
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  GetComboBoxInfo(routerList_, &parts);
  SetWindowSubclass(parts.hwndItem, RouterEditProc, 0, reinterpret_cast<DWORD_PTR>(this));
  controls_.ShowButton(m.IPReFresh, AddControl(group, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, control_id::IPReFresh,
                                               {264, 26, 337, 49}),
                       [this] { Posted(&TUpgradeForm1::IPReFreshClick); });
}

void MainWindow::BuildPasswordGroup() {
  MainWindowModels& m = form_.Models();
  HWND group = AddGroup(m.PasswordGroup, control_id::PasswordGroup);
  controls_.ShowLabel(m.passwordLabel,
                      AddControl(group, L"STATIC", SS_LEFT, control_id::passwordLabel, {8, 17, 68, 31}));
  HWND password = AddControl(group, L"EDIT", ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                             control_id::PasswordComBox, {72, 13, 192, 34});
  controls_.ShowEdit(m.PasswordComBox, password, [this] { form_.PasswordComBoxChange(); });
  passwordInfo_ = AddControl(group, L"STATIC", SS_LEFT, control_id::passwordInfo, {200, 17, 338, 31});
  controls_.ShowLabel(m.passwordInfo, passwordInfo_);
}

void MainWindow::BuildFileGroup() {
  MainWindowModels& m = form_.Models();
  HWND group = AddGroup(m.UpgreadFileGroup, control_id::UpgreadFileGroup);
  controls_.ShowLabel(m.fileLabel, AddControl(group, L"STATIC", SS_LEFT, control_id::fileLabel, {8, 11, 338, 25}));
  HWND files = AddControl(group, L"EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, control_id::UpdateFileName,
                          {8, 28, 258, 49});
  controls_.ShowEdit(m.UpdateFileName, files, [] {});
  controls_.ShowButton(
      m.Browse, AddControl(group, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, control_id::Browse, {264, 26, 337, 49}),
      [this] { Posted(&TUpgradeForm1::BrowseClick); });
}

void MainWindow::BuildToolGroup() {
  MainWindowModels& m = form_.Models();
  HWND group = AddGroup(m.ToolGroup, control_id::ToolGroup);
  controls_.ShowButton(
      m.Upgrade, AddControl(group, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, control_id::Upgrade, {60, 11, 150, 35}),
      [this] { Posted(&TUpgradeForm1::UpgradeClick); });
  HWND exitButton =
      AddControl(group, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, control_id::Exit, {195, 11, 285, 35});
  controls_.ShowButton(m.Exit, exitButton, [this] { Posted(&TUpgradeForm1::ExitClick); });
  SetWindowSubclass(exitButton, ExitButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void MainWindow::BuildProgressGroup() {
  MainWindowModels& m = form_.Models();
  HWND group = AddGroup(m.ProgressGroup, control_id::ProgressGroup);
  controls_.ShowProgressBar(m.ProgressBar1,
                            AddControl(group, PROGRESS_CLASSW, PBS_SMOOTH, control_id::ProgressBar1, {6, 8, 339, 20}));
}

void MainWindow::BuildLogGroup() {
  MainWindowModels& m = form_.Models();
  HWND group = AddGroup(m.GSystemLog, control_id::GSystemLog);
  controls_.ShowMemo(m.Memo1, AddControl(group, L"EDIT",
                                         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER,
                                         control_id::Memo1, {6, 16, 339, 131}));
}

void MainWindow::BuildStatusBar() {
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id::StatusBar1)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  int onePanel = -1;
  SendMessageW(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&onePanel));
  controls_.ShowStatus(form_.Models().StatusBar1, statusBar_);
}

void MainWindow::WatchWindow() {
  WindowModel& window = form_.Models().window;
  controls_.Subscriptions().Watch(window, [this, &window] {
    SetWindowTextW(window_, ViewText(window.Caption()).c_str());
    StackGroups();
    // The form hides its window when it is released: the program ends.
    if (!window.Visible()) ShowWindow(window_, SW_HIDE);
  });
}

void MainWindow::ApplyDpi(UINT dpi) {
  scale_.SetDpi(dpi);
  HFONT old = font_;
  font_ = scale_.DialogFont();
  for (const auto& [control, design] : placements_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  for (const auto& [model, panel] : groups_) SendMessageW(GroupFrameOf(panel), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  DeleteObject(old);
  StackGroups();
}

void MainWindow::StackGroups() {
  const WindowModel& window = form_.Models().window;
  RECT frame{0, 0, scale_(window.Width()), scale_(window.Height())};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  int top = 0;
  for (const auto& [model, panel] : groups_) {
    ShowWindow(panel, model->Visible() ? SW_SHOWNA : SW_HIDE);
    if (!model->Visible()) continue;
    MoveWindow(panel, 0, scale_(top), scale_(MainWindowModels::kGroupWidth), scale_(model->Height()), TRUE);
    top += model->Height();
  }
  for (const auto& [control, design] : placements_) {
    MoveWindow(control, scale_(design.left), scale_(design.top), scale_(design.right - design.left),
               scale_(design.bottom - design.top), TRUE);
  }
  // The status bar puts itself at the bottom edge when told of a size.
  if (statusBar_ != nullptr) SendMessageW(statusBar_, WM_SIZE, 0, 0);
}

void MainWindow::CentreOnScreen() {
  const WindowModel& window = form_.Models().window;
  PlaceCentred(window_, nullptr, scale_(window.Width()), scale_(window.Height()));
}

void MainWindow::Show() {
  ShowWindow(window_, SW_SHOW);
  // A desktop without a window manager activates nothing by itself.
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
}

void MainWindow::SelectRouter() {
  form_.IPComBoxChange();
  // The selection handler ends with the keyboard on the list.
  SetFocus(routerList_);
}

LRESULT CALLBACK MainWindow::RouterEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
  auto* window = reinterpret_cast<MainWindow*>(self);
  const bool enter = wParam == VK_RETURN;
  // Enter belongs to the list, not to the dialog navigation.
  if (message == WM_GETDLGCODE && enter) return DLGC_WANTALLKEYS;
  if (message == WM_CHAR && wParam == kEnterKey) return 0;  // no beep
  if (message == WM_KEYDOWN && enter) {
    window->loop_.Post([window] {
      window->form_.IPComBoxKeyPress(kEnterKey);
      SetFocus(window->routerList_);
    });
    return 0;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::ExitButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
    if (const auto key = ExitKeyOf(wParam)) {
      auto* window = reinterpret_cast<MainWindow*>(self);
      const bool altHeld = message == WM_SYSKEYDOWN && (lParam & kAltHeld) != 0;
      window->loop_.Guarded([window, key, altHeld] { window->form_.ExitKeyDown(*key, altHeld); });
    }
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace fwu
