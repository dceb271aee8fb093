#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace fwu::testing {

ModalAnswerer::ModalAnswerer() {
  QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
  poll_.start(5);
}

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  // Answer only once the dialog is up; the same one is not seen again
  // because answering closes it.
  if (modal == nullptr || !modal->isVisible()) return;
  if (auto* box = qobject_cast<QMessageBox*>(modal)) Answer(*box);
  if (auto* chooser = qobject_cast<QFileDialog*>(modal)) Answer(*chooser);
}

void ModalAnswerer::Answer(QMessageBox& box) {
  const QMessageBox::StandardButton defaultButton =
      box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::NoButton;
  boxes_.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons(), defaultButton,
                    box.textFormat()});
  QMessageBox::StandardButton choice = defaultButton;
  if (!buttons_.empty()) {
    choice = buttons_.front();
    buttons_.pop_front();
  }
  box.button(choice)->click();
}

void ModalAnswerer::Answer(QFileDialog& chooser) {
  choosers_.push_back({chooser.nameFilters(), chooser.fileMode(), chooser.isSizeGripEnabled()});
  if (files_.empty() || files_.front().names.isEmpty()) {
    if (!files_.empty()) files_.pop_front();
    chooser.reject();
    return;
  }
  const Files files = files_.front();
  files_.pop_front();
  chooser.setDirectory(files.directory);
  // Typed as a user would: several names in quotes in the name field.
  QStringList quoted;
  for (const QString& name : files.names) quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
  chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(quoted.join(QLatin1Char(' ')));
  // The chooser's own accept checks the names, as for a click on Open.
  static_cast<QDialog&>(chooser).accept();
}

}  // namespace fwu::testing
