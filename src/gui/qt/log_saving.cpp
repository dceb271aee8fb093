#include "gui/qt/log_saving.h"

#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>

namespace fwu {

bool SaveLog(const QPlainTextEdit& pane, const QString& path) {
  // Written beside the target and renamed over it: a failure never leaves
  // a half-written log under the name the user chose.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  file.write((pane.toPlainText() + '\n').toUtf8());
  return file.commit();
}

void OfferLogSaving(QPlainTextEdit& pane, std::function<QString()> choosePath) {
  pane.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&pane, &QWidget::customContextMenuRequested, &pane,
                   [&pane, choosePath = std::move(choosePath)](const QPoint& position) {
                     QMenu* menu = pane.createStandardContextMenu();
                     menu->setAttribute(Qt::WA_DeleteOnClose);
                     menu->addSeparator();
                     menu->addAction(QObject::tr("Save Log..."), &pane, [&pane, choosePath] {
                       const QString path = choosePath();
                       if (path.isEmpty() || SaveLog(pane, path)) return;
                       QMessageBox::warning(&pane, QObject::tr("Save Log"),
                                            QObject::tr("The log could not be written to %1.").arg(path));
                     });
                     menu->popup(pane.mapToGlobal(position));
                   });
}

}  // namespace fwu
