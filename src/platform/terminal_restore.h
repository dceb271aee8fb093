#pragma once

namespace fwu {

// From a signal handler that is about to end the process at once: puts
// back the terminal settings a HiddenTerminalInput changed, if one lives.
// Async-signal-safe. POSIX only; Windows restores its console itself.
void RestoreHiddenTerminalNow();

}  // namespace fwu
