#include "app/exit_status.h"

#include "app/upgrade_form.h"

namespace fwu {

int ExitStatus(const TUpgradeForm1& form, bool endedByRequest, RunDriver driver) {
  if (form.StartupFailed()) return kExitBadStart;
  // Ctrl+C after the work was done (an upgrade whose verdict came, a
  // recovery waiting only for the reboot) does not undo it.
  if (endedByRequest) return form.Succeeded() ? kExitSucceeded : kExitFailed;
  // A run that starts by itself (put, get, set, or a control file that
  // upgrades) is not interactive, and ends by itself when its work is done.
  const auto modes = form.CurrentModes();
  const bool unattended = !modes.interactive || modes.get;
  if (driver == RunDriver::WindowUser && !unattended) return kExitSucceeded;
  return form.Succeeded() ? kExitSucceeded : kExitFailed;
}

}  // namespace fwu
