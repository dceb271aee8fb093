#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "ui/timer.h"

namespace fwu::testing {

// Plays the user in front of the program's message boxes: every few
// milliseconds (the loop's timers keep running under a box) it looks for a
// box on screen, records what it shows and presses the queued button, else
// the box's first one.
class BoxAnswerer {
 public:
  struct Box {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
  };

  explicit BoxAnswerer(EventLoop& loop);

  // A button by its command number (IDOK, IDCANCEL, IDYES, IDNO).
  void QueueButton(int id) { buttons_.push_back(id); }
  const std::vector<Box>& Boxes() const { return boxes_; }

 private:
  void Poll();
  void Answer(HWND box);

  Timer poll_;
  std::deque<int> buttons_;
  std::vector<Box> boxes_;
};

}  // namespace fwu::testing
