#include "cli/console_view.h"

#include <algorithm>
#include <string>

#include "platform/printable_text.h"

namespace fwu {

ConsoleView::ConsoleView(MainWindowModels& models, std::ostream& out, std::ostream& err, bool progressBar)
    : models_(models), out_(out), err_(err), progressBar_(progressBar) {
  memoSubscription_ = models_.Memo1.Subscribe([this] { PrintNewLines(); });
  statusSubscription_ = models_.StatusBar1.Subscribe([this] { PrintStatus(); });
  if (progressBar_) progressSubscription_ = models_.ProgressBar1.Subscribe([this] { DrawProgress(); });
}

ConsoleView::~ConsoleView() {
  EndProgressLine();
  models_.Memo1.Unsubscribe(memoSubscription_);
  models_.StatusBar1.Unsubscribe(statusSubscription_);
  if (progressBar_) models_.ProgressBar1.Unsubscribe(progressSubscription_);
}

void ConsoleView::PrintNewLines() {
  const auto& lines = models_.Memo1.Lines();
  if (lines.size() < linesPrinted_) linesPrinted_ = 0;  // the pane was cleared
  EndProgressLine();
  // Log lines quote what routers said; a terminal must not take any of it
  // as a command.
  for (; linesPrinted_ < lines.size(); ++linesPrinted_) out_ << PrintableText(OneLine(lines[linesPrinted_])) << '\n';
  out_.flush();
}

void ConsoleView::PrintStatus() {
  EndProgressLine();
  err_ << "status: " << PrintableText(OneLine(models_.StatusBar1.Text())) << std::endl;
}

void ConsoleView::DrawProgress() {
  const int max = models_.ProgressBar1.Max();
  if (max <= 0) return;
  // Counts may pass the maximum (a ROM read counts its header too): the
  // bar stays full rather than drawing past its end.
  const int percent =
      static_cast<int>(std::clamp<long long>(100LL * models_.ProgressBar1.Position() / max, 0, 100));
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] " << percent << "%"
       << std::flush;
  progressShown_ = true;
}

void ConsoleView::EndProgressLine() {
  if (!progressShown_) return;
  err_ << '\n';
  progressShown_ = false;
  lastPercent_ = -1;
}

}  // namespace fwu
