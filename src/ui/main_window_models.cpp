#include "ui/main_window_models.h"

namespace fwu {

MainWindowModels::MainWindowModels() {
  // The password waits, disabled, until a router is chosen; the hint label
  // and the Upgrade button start hidden and disabled.
  PasswordComBox.SetEnabled(false);
  passwordInfo.SetVisible(false);
  UpdateFileName.SetReadOnly(true);
  Upgrade.SetEnabled(false);
}

}  // namespace fwu
