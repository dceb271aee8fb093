#include "cli/progress_text.h"

#include <cmath>

#include "cli/run_verdict.h"

namespace fwu {

std::string ProgressText(int percent, std::uint64_t sent, std::uint64_t total, double seconds) {
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  std::string percentText = std::to_string(percent) + "%";
  std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] " +
                     std::string(4 - percentText.size(), ' ') + percentText + "  " + SizeText(sent) + " of " +
                     SizeText(total);
  if (seconds >= 1.0 && sent > 0) {
    const double rate = static_cast<double>(sent) / seconds;
    const auto left = static_cast<long long>(std::ceil(static_cast<double>(total - sent) / rate));
    line += "  " + SizeText(static_cast<std::uint64_t>(rate)) + "/s  " + std::to_string(left) + " s left";
  }
  return line + "   ";
}

}  // namespace fwu
