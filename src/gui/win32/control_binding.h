#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/model_subscriptions.h"

namespace fwu {

// Makes standard Windows controls draw core models and keep drawing them.
// A window owns one binding: the notifications its children send it
// (WM_COMMAND) come back through Command(), and the user's input reaches
// the model first, then the given handler. The subscriptions go with the
// binding, which must not outlive the controls.
class ControlBinding {
 public:
  using Handler = std::function<void()>;

  ControlBinding() = default;
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;

  // Every control of a model: visible and enabled as the model says.
  void ShowControl(ControlModel& model, HWND control);
  void ShowButton(ButtonModel& model, HWND button, Handler onClick);
  void ShowLabel(LabelModel& model, HWND label);
  void ShowStatus(StatusBarModel& model, HWND statusBar);
  void ShowEdit(EditModel& model, HWND edit, Handler onEdited);
  // An editable drop-down: a pick sets the model's text and runs
  // onSelected; typing only sets the text.
  void ShowComboBox(ComboBoxModel& model, HWND box, Handler onSelected);
  void ShowProgressBar(ProgressBarModel& model, HWND bar);
  // Appends the model's new lines; a cleared model clears the pane.
  void ShowMemo(MemoModel& model, HWND pane);

  // Handles a WM_COMMAND from a child; false when no control of ours sent it.
  bool Command(int controlId, int notification);

  ModelSubscriptions& Subscriptions() { return subscriptions_; }

 private:
  void OnCommand(HWND control, int notification, std::function<void()> handler);
  // Sets a control's text unless it shows it already; the change the
  // control then reports is not the user's.
  void SetText(HWND control, const std::string& text);

  ModelSubscriptions subscriptions_;
  std::map<std::pair<int, int>, std::function<void()>> commands_;
  bool redrawing_ = false;
};

std::wstring WindowText(HWND window);
std::vector<std::wstring> ComboBoxItems(HWND box);

}  // namespace fwu
