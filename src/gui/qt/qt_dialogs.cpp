#include "gui/qt/qt_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "gui/qt/control_views.h"
#include "gui/qt/modal_dialog_view.h"
#include "gui/qt/qt_file_filter.h"
#include "ui/modal_run.h"

namespace fwu {

namespace {

struct ButtonChoice {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton first;
  // What closing the box without a click answers.
  QMessageBox::StandardButton escape;
};

ButtonChoice ButtonsOf(ButtonSet set) {
  switch (set) {
    case ButtonSet::OkCancel: return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case ButtonSet::YesNoCancel:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::Cancel};
    case ButtonSet::Yes: return {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes};
    case ButtonSet::Ok: break;
  }
  return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

QMessageBox::Icon IconOf(BoxKind kind) {
  switch (kind) {
    case BoxKind::Warning: return QMessageBox::Warning;
    case BoxKind::Error: return QMessageBox::Critical;
    case BoxKind::Message: break;
  }
  return QMessageBox::NoIcon;
}

DialogAnswer AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Cancel: return DialogAnswer::Cancel;
    case QMessageBox::Yes: return DialogAnswer::Yes;
    case QMessageBox::No: return DialogAnswer::No;
    default: return DialogAnswer::Ok;
  }
}

}  // namespace

DialogAnswer QtDialogs::ShowMessage(const MessageRequest& request) {
  const ButtonChoice choice = ButtonsOf(request.buttons);
  QMessageBox box(IconOf(request.kind), ToQString(request.caption), ToQString(request.text), choice.buttons, owner_);
  // The program's texts are plain; a "<" in a path must not start markup.
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(choice.first);
  box.setEscapeButton(choice.escape);
  box.exec();
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  return AnswerOf(clicked == QMessageBox::NoButton ? choice.escape : clicked);
}

std::optional<std::vector<std::string>> QtDialogs::ChooseFiles(const FileChooserRequest& request) {
  QFileDialog chooser(owner_);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setNameFilters(ToQtNameFilters(request.filter));
  if (request.multiSelect) {
    chooser.setFileMode(QFileDialog::ExistingFiles);
  } else {
    chooser.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  chooser.setSizeGripEnabled(request.resizable);
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> chosen;
  // The core opens these paths: hand them over in the file system's
  // encoding, not as display text.
  for (const QString& path : chooser.selectedFiles()) chosen.push_back(QFile::encodeName(path).toStdString());
  return chosen;
}

void QtDialogs::ShowModal(ModalWindowModel& window) {
  ModalDialogView view(owner_, window);
  RunModal(loop_, window);
}

}  // namespace fwu
