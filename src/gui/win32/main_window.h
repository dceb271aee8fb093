#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "gui/win32/control_binding.h"
#include "gui/win32/dpi_scale.h"

namespace fwu {

class GroupModel;
class TUpgradeForm1;
class Win32EventLoop;

// The upgrade window: draws the main window's models with standard
// controls and hands every click and key to the form's handlers. It
// decides nothing itself. Clicks reach the form through the loop, posted:
// an FTP upgrade runs inside its click and pumps messages, which a sender
// waiting on the click would never see.
class MainWindow {
 public:
  MainWindow(TUpgradeForm1& form, Win32EventLoop& loop);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_; }
  void CentreOnScreen();
  // Shows the window and asks for its activation, which starts the form.
  void Show();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK RouterEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
  static LRESULT CALLBACK ExitButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND AddGroup(GroupModel& model, int id);
  HWND AddControl(HWND panel, const wchar_t* windowClass, DWORD style, int id, RECT design);
  void BuildSearchGroup();
  void BuildPasswordGroup();
  void BuildFileGroup();
  void BuildToolGroup();
  void BuildProgressGroup();
  void BuildLogGroup();
  void BuildStatusBar();
  void WatchWindow();
  void ApplyDpi(UINT dpi);
  // Visible groups top to bottom without gaps, the status line at the
  // bottom edge; every size scaled to the window's DPI.
  void StackGroups();
  void Posted(void (TUpgradeForm1::*handler)());
  void SelectRouter();

  TUpgradeForm1& form_;
  Win32EventLoop& loop_;
  HWND window_ = nullptr;
  DpiScale scale_;
  HFONT font_ = nullptr;
  ControlBinding controls_;
  std::vector<std::pair<GroupModel*, HWND>> groups_;
  // Each control's place inside its group, in design pixels.
  std::vector<std::pair<HWND, RECT>> placements_;
  HWND routerList_ = nullptr;
  HWND passwordInfo_ = nullptr;
  HWND statusBar_ = nullptr;
  bool activatedOnce_ = false;
};

}  // namespace fwu
