#include "cli/console_view.h"

#include <algorithm>
#include <string>

#include "cli/progress_text.h"
#include "platform/printable_text.h"
#include "search/search_result_lines.h"
#include "search/device_table.h"

namespace fwu {

namespace {

// The console counts routers itself, under its own list of them.
bool IsDeviceCount(const std::string& status) {
  for (std::size_t count = 0; count <= DeviceTable::kCapacity; ++count)
    if (status == DeviceCountText(count)) return true;
  return false;
}

}  // namespace

ConsoleView::ConsoleView(MainWindowModels& models, std::ostream& out, std::ostream& err, Options options)
    : models_(models), out_(out), err_(err), options_(std::move(options)) {
  memoSubscription_ = models_.Memo1.Subscribe([this] { PrintNewLines(); });
  statusSubscription_ = models_.StatusBar1.Subscribe([this] { PrintStatus(); });
  progressSubscription_ = models_.ProgressBar1.Subscribe([this] { ProgressChanged(); });
}

ConsoleView::~ConsoleView() {
  EndProgressLine();
  models_.Memo1.Unsubscribe(memoSubscription_);
  models_.StatusBar1.Unsubscribe(statusSubscription_);
  models_.ProgressBar1.Unsubscribe(progressSubscription_);
}

void ConsoleView::PrintNewLines() {
  const auto& lines = models_.Memo1.Lines();
  if (lines.size() < linesPrinted_) linesPrinted_ = 0;  // the pane was cleared
  if (!options_.showLog()) return;
  EndProgressLine();
  // Log lines quote what routers said; a terminal must not take any of it
  // as a command.
  for (; linesPrinted_ < lines.size(); ++linesPrinted_) out_ << PrintableText(OneLine(lines[linesPrinted_])) << '\n';
  out_.flush();
}

void ConsoleView::PrintStatus() {
  const std::string& status = models_.StatusBar1.Text();
  if (IsDeviceCount(status)) return;
  if (barFull_ && shownBeforeFull_.contains(status)) return;
  if (!barFull_) shownBeforeFull_.insert(status);
  EndProgressLine();
  err_ << "status: " << PrintableText(OneLine(status)) << std::endl;
}

void ConsoleView::ProgressChanged() {
  const int max = models_.ProgressBar1.Max();
  const int position = models_.ProgressBar1.Position();
  if (max != barMax_ || position == 0) {  // a new run of the bar
    barMax_ = max;
    barStart_ = std::chrono::steady_clock::now();
    shownBeforeFull_.clear();
  }
  barFull_ = max > 0 && position >= max;
  if (options_.progressBar) DrawProgress();
}

void ConsoleView::DrawProgress() {
  const int max = models_.ProgressBar1.Max();
  const int position = models_.ProgressBar1.Position();
  if (max <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  // Counts may pass the maximum (a ROM read counts its header too): the
  // bar stays full rather than drawing past its end.
  const int percent = static_cast<int>(std::clamp<long long>(100LL * position / max, 0, 100));
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  const std::uint64_t step = options_.bytesPerStep();
  const auto sent = static_cast<std::uint64_t>(std::clamp(position, 0, max)) * step;
  const double seconds = std::chrono::duration<double>(now - barStart_).count();
  err_ << '\r' << ProgressText(percent, sent, static_cast<std::uint64_t>(max) * step, seconds) << std::flush;
  progressShown_ = true;
}

void ConsoleView::EndProgressLine() {
  if (!progressShown_) return;
  err_ << '\n';
  progressShown_ = false;
  lastPercent_ = -1;
}

}  // namespace fwu
