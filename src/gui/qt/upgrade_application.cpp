#include "gui/qt/upgrade_application.h"

#include <QIcon>
#include <exception>

// The icon is in the view library's resources, which a static library's
// user must ask for by name, outside any namespace.
static void LoadIconResource() { Q_INIT_RESOURCE(fwupgrade); }

namespace fwu {

UpgradeApplication::UpgradeApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("fwupgrade"));
  // The one icon of every window of the program, as on Windows.
  LoadIconResource();
  setWindowIcon(QIcon(QStringLiteral(":/fwupgrade.png")));
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
