#include "app/login_router.h"
#include "app/upgrade_form.h"

namespace fwu {

int TUpgradeForm1::RunLogin() {
  return LoginRouter(models_.PasswordComBox.Text(), SelectedIP_, UpgradeMethod_, models_.Memo1);
}

}  // namespace fwu
