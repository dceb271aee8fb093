#include "gui/qt/upgrade_application.h"

#include <exception>

namespace fwu {

UpgradeApplication::UpgradeApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("fwupgrade"));
  // The form decides when the program ends, not the last window closing.
  setQuitOnLastWindowClosed(false);
}

bool UpgradeApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& failure) {
    if (exceptionBox_) exceptionBox_(failure.what());
    return false;
  }
}

}  // namespace fwu
