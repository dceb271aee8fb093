#include "gui/win32/control_binding.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "gui/win32/view_text.h"

namespace fwu {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void ControlBinding::OnCommand(HWND control, int notification, std::function<void()> handler) {
  commands_[{GetDlgCtrlID(control), notification}] = std::move(handler);
}

bool ControlBinding::Command(int controlId, int notification) {
  const auto found = commands_.find({controlId, notification});
  if (found == commands_.end() || redrawing_) return false;
  found->second();
  return true;
}

void ControlBinding::SetText(HWND control, const std::string& text) {
  const std::wstring wide = ViewText(text);
  if (WindowText(control) == wide) return;
  redrawing_ = true;
  SetWindowTextW(control, wide.c_str());
  redrawing_ = false;
}

void ControlBinding::ShowControl(ControlModel& model, HWND control) {
  subscriptions_.Watch(model, [&model, control] {
    ShowWindow(control, model.Visible() ? SW_SHOWNA : SW_HIDE);
    EnableWindow(control, model.Enabled());
  });
}

void ControlBinding::ShowButton(ButtonModel& model, HWND button, Handler onClick) {
  SetWindowTextW(button, ViewText(model.Caption()).c_str());
  ShowControl(model, button);
  OnCommand(button, BN_CLICKED, std::move(onClick));
}

void ControlBinding::ShowLabel(LabelModel& model, HWND label) {
  ShowControl(model, label);
  subscriptions_.Watch(model, [this, &model, label] { SetText(label, model.Text()); });
}

void ControlBinding::ShowStatus(StatusBarModel& model, HWND statusBar) {
  subscriptions_.Watch(model, [&model, statusBar] {
    SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(ViewText(model.Text()).c_str()));
  });
}

void ControlBinding::ShowEdit(EditModel& model, HWND edit, Handler onEdited) {
  if (model.MaxLength() > 0) SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(model.MaxLength()), 0);
  // The mask character the program's users know, not the system's dot.
  if (model.Masked()) SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
  ShowControl(model, edit);
  subscriptions_.Watch(model, [this, &model, edit] {
    SendMessageW(edit, EM_SETREADONLY, model.ReadOnly(), 0);
    SetText(edit, model.Text());
  });
  OnCommand(edit, EN_CHANGE, [&model, edit, onEdited = std::move(onEdited)] {
    model.SetText(ModelText(WindowText(edit)));
    onEdited();
  });
}

std::vector<std::wstring> ComboBoxItems(HWND box) {
  std::vector<std::wstring> items;
  const auto count = SendMessageW(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring item(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(item);
  }
  return items;
}

void ControlBinding::ShowComboBox(ComboBoxModel& model, HWND box, Handler onSelected) {
  ShowControl(model, box);
  subscriptions_.Watch(model, [this, &model, box] {
    std::vector<std::wstring> items;
    for (const std::string& item : model.Items()) items.push_back(ViewText(item));
    if (ComboBoxItems(box) != items) {
      redrawing_ = true;
      SendMessageW(box, CB_RESETCONTENT, 0, 0);
      for (const std::wstring& item : items) SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      redrawing_ = false;
    }
    SetText(box, model.Text());
  });
  OnCommand(box, CBN_EDITCHANGE, [&model, box] { model.SetText(ModelText(WindowText(box))); });
  OnCommand(box, CBN_SELCHANGE, [&model, box, onSelected = std::move(onSelected)] {
    const auto index = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    model.SetText(ModelText(ComboBoxItems(box).at(static_cast<std::size_t>(index))));
    onSelected();
  });
}

void ControlBinding::ShowProgressBar(ProgressBarModel& model, HWND bar) {
  ShowControl(model, bar);
  subscriptions_.Watch(model, [&model, bar] {
    // The model's empty bar is maximum 0, and its position may run past the
    // maximum for a moment while a transport updates both.
    const int max = std::max(model.Max(), 1);
    SendMessageW(bar, PBM_SETRANGE32, 0, max);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(std::clamp(model.Position(), 0, max)), 0);
  });
}

void ControlBinding::ShowMemo(MemoModel& model, HWND pane) {
  // No limit beyond memory: a long run's log must not stop growing.
  SendMessageW(pane, EM_SETLIMITTEXT, 0, 0);
  ShowControl(model, pane);
  auto shown = std::make_shared<std::size_t>(0);
  subscriptions_.Watch(model, [&model, pane, shown] {
    const auto& lines = model.Lines();
    if (lines.size() < *shown) {
      SetWindowTextW(pane, L"");
      *shown = 0;
    }
    if (*shown == lines.size()) return;
    std::wstring added;
    for (; *shown < lines.size(); ++*shown) added += (*shown == 0 ? L"" : L"\r\n") + ViewText(lines[*shown]);
    const auto end = GetWindowTextLengthW(pane);
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
  });
}

}  // namespace fwu
