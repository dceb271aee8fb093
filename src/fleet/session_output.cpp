#include "fleet/session_output.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace fwu {

namespace {

constexpr std::string_view kStatusPrefix = "status: ";
constexpr std::string_view kMessagePrefix = "message: ";

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "[#####     ] 45%": the console's progress bar on a terminal.
bool ProgressPercent(std::string_view piece, int& percent) {
  const std::size_t close = piece.rfind("] ");
  if (piece.empty() || piece.front() != '[' || piece.back() != '%' || close == std::string_view::npos) return false;
  const std::string_view digits = piece.substr(close + 2, piece.size() - close - 3);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), percent);
  return error == std::errc() && end == digits.data() + digits.size();
}

// Calls take(piece) for each complete piece of buffer that ends in one of
// the separators, and keeps the rest.
template <typename Take>
void TakePieces(std::string& buffer, std::string_view separators, Take take) {
  std::size_t from = 0;
  for (std::size_t end; (end = buffer.find_first_of(separators, from)) != std::string::npos; from = end + 1) {
    take(std::string_view(buffer).substr(from, end - from));
  }
  buffer.erase(0, from);
}

}  // namespace

void SessionOutput::FeedOutput(std::string_view bytes) {
  output_.append(bytes);
  // A program on Windows ends its lines with "\r\n".
  TakePieces(output_, "\n", [this](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    sink_({SessionLine::Kind::Log, std::string(line)});
  });
}

void SessionOutput::FeedError(std::string_view bytes) {
  error_.append(bytes);
  // The progress bar is redrawn after a carriage return, lines end in a
  // newline.
  TakePieces(error_, "\r\n", [this](std::string_view piece) { ErrorPiece(piece); });
}

void SessionOutput::Flush() {
  if (!output_.empty()) sink_({SessionLine::Kind::Log, std::exchange(output_, {})});
  if (!error_.empty()) ErrorPiece(std::exchange(error_, {}));
}

void SessionOutput::ErrorPiece(std::string_view piece) {
  int percent = 0;
  if (piece.empty()) return;
  if (ProgressPercent(piece, percent)) {
    sink_({SessionLine::Kind::Progress, {}, percent});
  } else if (StartsWith(piece, kStatusPrefix)) {
    sink_({SessionLine::Kind::Status, std::string(piece.substr(kStatusPrefix.size()))});
  } else if (StartsWith(piece, kMessagePrefix)) {
    sink_({SessionLine::Kind::Message, std::string(piece.substr(kMessagePrefix.size()))});
  } else {
    sink_({SessionLine::Kind::Log, std::string(piece)});
  }
}

FleetMethod MethodFromLogLine(const std::string& line, FleetMethod current) {
  if (StartsWith(line, "Unsing TFTP upgrade mode to : ")) return FleetMethod::Tftp;
  if (StartsWith(line, "Unsing FTP upgrade mode to : ")) return FleetMethod::Ftp;
  if (StartsWith(line, "Unsing HTTP upgrade mode to : ")) {
    return current == FleetMethod::Ftp ? FleetMethod::HttpAfterFtp : FleetMethod::Http;
  }
  return current;
}

std::optional<int> TftpLogProgress::Read(const std::string& line) {
  const auto number = [&](std::size_t from, std::size_t to) -> std::optional<long> {
    long value = 0;
    const auto [at, error] = std::from_chars(line.data() + from, line.data() + to, value);
    if (error != std::errc() || at != line.data() + to || value < 0) return std::nullopt;
    return value;
  };
  constexpr std::string_view kSegments = "Segment: ";
  constexpr std::string_view kSent = "Sent ";
  constexpr std::string_view kSentEnd = " ..";
  if (StartsWith(line, kSegments)) {
    // The last, partial block comes on top of the whole ones.
    if (const auto whole = number(kSegments.size(), line.size())) blocks_ = *whole + 1;
    return std::nullopt;
  }
  if (!blocks_ || !StartsWith(line, kSent) || !line.ends_with(kSentEnd)) return std::nullopt;
  const auto sent = number(kSent.size(), line.size() - kSentEnd.size());
  if (!sent) return std::nullopt;
  return static_cast<int>(std::min<long>(100, *sent * 100 / *blocks_));
}

}  // namespace fwu
