#include "gui/qt/control_views.h"

#include "gui/qt/elided_label.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>

namespace fwu {

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

void ShowControl(ModelSubscriptions& subs, ControlModel& model, QWidget& widget) {
  subs.Watch(model, [&model, &widget] {
    widget.setVisible(model.Visible());
    widget.setEnabled(model.Enabled());
  });
}

void ShowButton(ModelSubscriptions& subs, ButtonModel& model, QPushButton& button, std::function<void()> onClick) {
  button.setText(ToQString(model.Caption()));
  ShowControl(subs, model, button);
  QObject::connect(&button, &QPushButton::clicked, &button, [onClick = std::move(onClick)] { onClick(); });
}

void ShowLabel(ModelSubscriptions& subs, LabelModel& model, QLabel& label) {
  ShowControl(subs, model, label);
  subs.Watch(model, [&model, &label] { label.setText(ToQString(model.Text())); });
}

void ShowStatus(ModelSubscriptions& subs, StatusBarModel& model, ElidedLabel& label) {
  subs.Watch(model, [&model, &label] { label.SetFullText(ToQString(model.Text())); });
}

void ShowEdit(ModelSubscriptions& subs, EditModel& model, QLineEdit& edit, std::function<void()> onEdited) {
  if (model.MaxLength() > 0) edit.setMaxLength(model.MaxLength());
  if (model.Masked()) edit.setEchoMode(QLineEdit::Password);
  ShowControl(subs, model, edit);
  subs.Watch(model, [&model, &edit] {
    edit.setReadOnly(model.ReadOnly());
    const QString text = ToQString(model.Text());
    // Only a real change: rewriting the same text would move the cursor
    // under the user's fingers.
    if (edit.text() != text) edit.setText(text);
  });
  // textEdited: the user's typing only, never the redraw above.
  QObject::connect(&edit, &QLineEdit::textEdited, &edit,
                   [&model, onEdited = std::move(onEdited)](const QString& text) {
                     model.SetText(text.toStdString());
                     onEdited();
                   });
}

namespace {

QStringList ItemsOf(const ComboBoxModel& model) {
  QStringList items;
  for (const std::string& item : model.Items()) items.append(ToQString(item));
  return items;
}

QStringList ItemsOf(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items.append(box.itemText(i));
  return items;
}

}  // namespace

void ShowComboBox(ModelSubscriptions& subs, ComboBoxModel& model, QComboBox& box, std::function<void()> onSelected) {
  box.setEditable(true);
  // The list shows what the search found and nothing else; typed addresses
  // are not added, and no completion changes the text behind the model's
  // back.
  box.setInsertPolicy(QComboBox::NoInsert);
  box.setCompleter(nullptr);
  ShowControl(subs, model, box);
  subs.Watch(model, [&model, &box] {
    const QSignalBlocker blocker(box);
    const QStringList items = ItemsOf(model);
    if (ItemsOf(box) != items) {
      box.clear();
      box.addItems(items);
    }
    const QString text = ToQString(model.Text());
    if (box.currentText() != text) box.setEditText(text);
  });
  QObject::connect(box.lineEdit(), &QLineEdit::textEdited, &box,
                   [&model](const QString& text) { model.SetText(text.toStdString()); });
  QObject::connect(&box, &QComboBox::activated, &box,
                   [&model, &box, onSelected = std::move(onSelected)](int index) {
                     model.SetText(box.itemText(index).toStdString());
                     onSelected();
                   });
}

void ShowProgressBar(ModelSubscriptions& subs, ProgressBarModel& model, QProgressBar& bar) {
  bar.setTextVisible(true);
  bar.setFormat(QStringLiteral("%p%"));
  ShowControl(subs, model, bar);
  auto seenPosition = std::make_shared<int>(0);
  subs.Watch(model, [&model, &bar, seenPosition] {
    // Qt draws a range of 0..0 as a busy indicator and ignores values out of
    // range; the model's empty bar is maximum 0, and its position may run
    // past the maximum for a moment while a transport updates both.
    const int max = std::max(model.Max(), 1);
    // A new maximum is a new run: it starts from 0, not from where the last
    // run's bar stood, until its transport reports a position of its own.
    const bool newRun = bar.maximum() != max && model.Position() == *seenPosition;
    *seenPosition = model.Position();
    bar.setRange(0, max);
    bar.setValue(newRun ? 0 : std::clamp(model.Position(), 0, max));
  });
}

void ShowMemo(ModelSubscriptions& subs, MemoModel& model, QPlainTextEdit& pane) {
  pane.setReadOnly(true);
  pane.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ShowControl(subs, model, pane);
  auto shown = std::make_shared<std::size_t>(0);
  subs.Watch(model, [&model, &pane, shown] {
    const auto& lines = model.Lines();
    if (lines.size() < *shown) {
      pane.clear();
      *shown = 0;
    }
    for (; *shown < lines.size(); ++*shown) pane.appendPlainText(ToQString(lines[*shown]));
  });
}

}  // namespace fwu
