#pragma once

namespace fwu {

class TUpgradeForm1;

// The program's exit status, the same for the console and both windows,
// so that a script that starts any of them reads one rule.
inline constexpr int kExitSucceeded = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadStart = 2;

// Who chose what the run did: the user at a window, or the command line,
// the control file or the console's questions.
enum class RunDriver { WindowUser, Program };

// A failed start is 2; a run ended by a request from outside is 1 unless
// its operation had already succeeded. An unattended run (put, set or get
// on the command line, or a control file that starts the work), and every
// console run, end with 0 when the operation succeeded and 1 when it
// failed. A window the user drove ends with 0 when it closes: what the
// user did there, the user saw.
int ExitStatus(const TUpgradeForm1& form, bool endedByRequest, RunDriver driver);

}  // namespace fwu
