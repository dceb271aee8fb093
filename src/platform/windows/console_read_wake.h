#pragma once

#include <windows.h>

namespace fwu {

// A request to end the program must end a console read that is waiting for
// a line. Windows ends such a read itself when Ctrl+C is pressed; other
// requests (the console closed, a parent's request) and other consoles
// (Wine's) do not. So the request types an Enter into the console, which
// the waiting read takes; the reader then sees the request and reads the
// end of input instead of the line.

// Around the read of one line from the console input.
void BeginConsoleRead(HANDLE input);
// lineRead: the read returned a line (which may hold the Enter typed by
// WakeConsoleRead). An Enter typed for a read that had ended without a line
// is taken out of the console again, so that no program reads it later.
void EndConsoleRead(bool lineRead);

// From a termination request's thread: ends the read under way, if any.
void WakeConsoleRead();

}  // namespace fwu
