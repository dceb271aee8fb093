#pragma once

#include <windows.h>

#include "ui/dialogs.h"

namespace fwu {

class EventLoop;

// A message box whose one button reads "Yes": the system's boxes have no
// such set. It looks and answers as theirs do: Enter, Escape, the button
// and the close box all answer Yes.
void ShowYesBox(EventLoop& loop, HWND owner, const MessageRequest& request);

}  // namespace fwu
