#pragma once

#include <functional>

#include "ui/model_subscriptions.h"
#include "ui/controls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QString;
class QWidget;

namespace fwu {

class ElidedLabel;

// Each function makes a widget draw one core model and keeps it drawing it;
// user input goes back through the given handler. The subscriptions live in
// the caller's ModelSubscriptions, which must not outlive the widget.

QString ToQString(const std::string& text);

void ShowControl(ModelSubscriptions& subs, ControlModel& model, QWidget& widget);
void ShowButton(ModelSubscriptions& subs, ButtonModel& model, QPushButton& button, std::function<void()> onClick);
void ShowLabel(ModelSubscriptions& subs, LabelModel& model, QLabel& label);
void ShowStatus(ModelSubscriptions& subs, StatusBarModel& model, ElidedLabel& label);

// The user's edits reach the model first, then onEdited runs.
void ShowEdit(ModelSubscriptions& subs, EditModel& model, QLineEdit& edit, std::function<void()> onEdited);

// An editable list: a pick from the list sets the model's text and runs
// onSelected; typed text only sets the model's text.
void ShowComboBox(ModelSubscriptions& subs, ComboBoxModel& model, QComboBox& box, std::function<void()> onSelected);

void ShowProgressBar(ModelSubscriptions& subs, ProgressBarModel& model, QProgressBar& bar);

// Appends the model's new lines; a cleared model clears the pane.
void ShowMemo(ModelSubscriptions& subs, MemoModel& model, QPlainTextEdit& pane);

}  // namespace fwu
