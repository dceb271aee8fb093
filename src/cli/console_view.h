#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>

#include "ui/main_window_models.h"

namespace fwu {

// The main window drawn on a terminal: the log pane's lines on stdout, each
// new status text on stderr, and, while a transfer moves and stderr is a
// terminal, one progress bar there.
class ConsoleView {
 public:
  struct Options {
    bool progressBar = false;
    // Whether the log pane's lines are printed now; lines held back are
    // printed once it says yes. A terminal without "log" gets none: a
    // recovery alone writes thousands.
    std::function<bool()> showLog = [] { return true; };
    // How many bytes one step of the progress bar stands for.
    std::function<std::uint64_t()> bytesPerStep = [] { return std::uint64_t{1}; };
  };

  ConsoleView(MainWindowModels& models, std::ostream& out, std::ostream& err, Options options);
  ~ConsoleView();
  ConsoleView(const ConsoleView&) = delete;
  ConsoleView& operator=(const ConsoleView&) = delete;

  // Ends a progress line under way, so that what follows starts a line.
  void EndProgressLine();

 private:
  void PrintNewLines();
  void PrintStatus();
  void ProgressChanged();
  void DrawProgress();

  MainWindowModels& models_;
  std::ostream& out_;
  std::ostream& err_;
  Options options_;
  bool progressShown_ = false;
  int lastPercent_ = -1;
  int barMax_ = -1;
  std::chrono::steady_clock::time_point barStart_;
  std::size_t linesPrinted_ = 0;
  // A transfer that has sent everything may set the status texts of its
  // sending again (a recovery does, for its reboot request); on a terminal
  // that reads like a step back, so they are not printed twice.
  std::set<std::string> shownBeforeFull_;
  bool barFull_ = false;
  int memoSubscription_ = 0;
  int statusSubscription_ = 0;
  int progressSubscription_ = 0;
};

}  // namespace fwu
