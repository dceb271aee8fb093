#include "fleet/fleet_display.h"

#include <cstdio>

#include "platform/printable_text.h"

namespace fwu {

namespace {

// Live lines are redrawn at most this often: a terminal over a slow link
// must not fall behind.
constexpr std::int64_t kRedrawMs = 200;

std::string LiveLine(const RouterSession& session) {
  const PlannedRouter& row = session.Row();
  const char* method = MethodName(row.method);
  const RouterSession::Phase phase = session.CurrentPhase();
  char line[160];
  std::snprintf(line, sizeof line, "%-16s %-15s %-12s", row.address.c_str(), method ? method : "-",
                RouterSession::PhaseName(phase));
  std::string text = line;
  // Only the program's transfers report how far they are.
  if (phase == RouterSession::Phase::Backup || phase == RouterSession::Phase::Upload) {
    std::snprintf(line, sizeof line, " %3d%%", session.Percent());
    text += line;
  }
  if (const double speed = session.BytesPerSecond(); speed > 0) {
    std::snprintf(line, sizeof line, "  %.1f KB/s", speed / 1024.0);
    text += line;
  }
  return text;
}

}  // namespace

void FleetDisplay::Line(const std::string& address, const SessionLine& line) {
  if (terminal_ || line.kind == SessionLine::Kind::Progress) return;
  const char* kind = line.kind == SessionLine::Kind::Status ? "status: "
                     : line.kind == SessionLine::Kind::Message ? "message: "
                                                               : "";
  err_ << address << ": " << kind << PrintableText(OneLine(line.text)) << '\n';
}

void FleetDisplay::Note(const std::string& address, const std::string& text) {
  Clear();
  err_ << address << ": " << PrintableText(OneLine(text)) << '\n' << std::flush;
}

void FleetDisplay::Refresh(const std::vector<const RouterSession*>& active, std::int64_t nowMs) {
  if (!terminal_ || (lastDrawMs_ >= 0 && nowMs - lastDrawMs_ < kRedrawMs)) return;
  lastDrawMs_ = nowMs;
  Clear();
  for (const RouterSession* session : active) err_ << LiveLine(*session) << "\x1b[K\n";
  drawn_ = static_cast<int>(active.size());
  err_ << std::flush;
}

void FleetDisplay::Clear() {
  if (!terminal_ || drawn_ == 0) return;
  // Up to the first live line, then erase to the end of the screen.
  err_ << "\x1b[" << drawn_ << "A\r\x1b[J" << std::flush;
  drawn_ = 0;
}

}  // namespace fwu
