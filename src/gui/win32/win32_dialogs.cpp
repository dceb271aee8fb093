#include "gui/win32/win32_dialogs.h"

#include <commdlg.h>

#include "gui/win32/file_chooser_text.h"
#include "gui/win32/modal_window.h"
#include "gui/win32/search_dialog.h"
#include "gui/win32/view_text.h"
#include "gui/win32/yes_box.h"
#include "ui/modal_run.h"

namespace fwu {

namespace {

// Enough for 64 files with long paths in one directory.
constexpr std::size_t kChosenFilesChars = 64 * 1024;

UINT StyleOf(const MessageRequest& request) {
  UINT style = MB_OK;
  if (request.buttons == ButtonSet::OkCancel) style = MB_OKCANCEL;
  if (request.buttons == ButtonSet::YesNoCancel) style = MB_YESNOCANCEL;
  if (request.kind == BoxKind::Warning) style |= MB_ICONWARNING;
  if (request.kind == BoxKind::Error) style |= MB_ICONERROR;
  return style;
}

DialogAnswer AnswerOf(int pressed) {
  switch (pressed) {
    case IDCANCEL: return DialogAnswer::Cancel;
    case IDYES: return DialogAnswer::Yes;
    case IDNO: return DialogAnswer::No;
    default: return DialogAnswer::Ok;
  }
}

}  // namespace

HWND Win32Dialogs::VisibleOwner() const { return owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr; }

DialogAnswer Win32Dialogs::ShowMessage(const MessageRequest& request) {
  if (request.buttons == ButtonSet::Yes) {
    ShowYesBox(loop_, VisibleOwner(), request);
    return DialogAnswer::Yes;
  }
  // The system's box runs its own loop; the core's timers and posted work
  // arrive there too, as messages to the loop's window.
  return AnswerOf(MessageBoxW(VisibleOwner(), ViewText(request.text).c_str(), ViewText(request.caption).c_str(),
                              StyleOf(request) | MB_SETFOREGROUND));
}

std::optional<std::vector<std::string>> Win32Dialogs::ChooseFiles(const FileChooserRequest& request) {
  const std::wstring filter = ToWindowsFilter(request.filter);
  std::wstring chosen(kChosenFilesChars, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = VisibleOwner();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (request.multiSelect ? OFN_ALLOWMULTISELECT : 0) |
                 (request.mustExist ? OFN_FILEMUSTEXIST : 0) | (request.resizable ? OFN_ENABLESIZING : 0);
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  std::vector<std::string> paths;
  for (const std::wstring& path : ChosenPaths(chosen)) paths.push_back(ModelText(path));
  return paths;
}

void Win32Dialogs::ShowModal(ModalWindowModel& window) {
  ModalDialogView view(VisibleOwner(), window);
  ShowModalOver(VisibleOwner(), view.Handle(), [this, &window] { RunModal(loop_, window); });
}

}  // namespace fwu
