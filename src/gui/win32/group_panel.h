#pragma once

#include <windows.h>

namespace fwu {

// A group of the main window: a frame with its caption, and a child window
// that holds the group's controls, so that showing, hiding or moving the
// group takes its controls along. It hands its controls' notifications
// (commands, colours) on to the window it sits in.
HWND CreateGroupPanel(HWND parent, int id, const wchar_t* caption, HFONT font);

// The caption frame inside a panel, to be laid out with it.
HWND GroupFrameOf(HWND panel);

}  // namespace fwu
