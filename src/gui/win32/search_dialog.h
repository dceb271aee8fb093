#pragma once

#include <windows.h>

#include "gui/win32/control_binding.h"

namespace fwu {

class ModalWindowModel;
class SearchWindowModel;

// A modal window of the core on screen, shown while its model is open and
// hidden when the model closes itself. The user cannot close it: the
// window's own code does (the search closes its dialog when it is done).
// The search window's labels and progress bar are drawn when the model is
// the search window.
class ModalDialogView {
 public:
  ModalDialogView(HWND owner, ModalWindowModel& window);
  ~ModalDialogView();
  ModalDialogView(const ModalDialogView&) = delete;
  ModalDialogView& operator=(const ModalDialogView&) = delete;

  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void BuildSearchControls(SearchWindowModel& search);

  HWND window_ = nullptr;
  HFONT dialogFont_ = nullptr;
  HFONT labelFonts_[2] = {nullptr, nullptr};
  ControlBinding controls_;
};

}  // namespace fwu
