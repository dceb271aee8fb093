#pragma once

#include <cstddef>
#include <ostream>

#include "ui/main_window_models.h"

namespace fwu {

// The main window drawn on a terminal: each new log line on stdout, each
// new status text on stderr, and, while a transfer moves and stderr is a
// terminal, a progress bar there.
class ConsoleView {
 public:
  ConsoleView(MainWindowModels& models, std::ostream& out, std::ostream& err, bool progressBar);
  ~ConsoleView();
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

 private:
  void PrintNewLines();
  void PrintStatus();
  void DrawProgress();
  void EndProgressLine();

  MainWindowModels& models_;
  std::ostream& out_;
  std::ostream& err_;
  bool progressBar_;
  bool progressShown_ = false;
  int lastPercent_ = -1;
  std::size_t linesPrinted_ = 0;
  int memoSubscription_ = 0;
  int statusSubscription_ = 0;
  int progressSubscription_ = 0;
};

}  // namespace fwu
