#pragma once

#include <windows.h>

#include <string>

namespace fwu {

// How a program of ours asks a child it started to end in order, as SIGTERM
// does on POSIX: an event named after the child's process id, made before
// the child runs, which the child's termination requests wait on. A
// console's Ctrl+Break would reach only a child on the parent's own console,
// and under Wine not even that one.
inline std::wstring EndRequestEventName(DWORD processId) {
  return L"Local\\fwupgrade-end-request-" + std::to_wstring(processId);
}

}  // namespace fwu
