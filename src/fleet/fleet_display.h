#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "fleet/router_session.h"

namespace fwu {

// What a technician watches while the fleet runs, on stderr. On a
// terminal: one line per active router (address, method, phase, percent,
// speed), redrawn in place. Otherwise: every line of every router's
// program, prefixed with its address, for a log file.
class FleetDisplay {
 public:
  FleetDisplay(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  ~FleetDisplay() { Clear(); }
  FleetDisplay(const FleetDisplay&) = delete;
  FleetDisplay& operator=(const FleetDisplay&) = delete;

  void Line(const std::string& address, const SessionLine& line);
  // A note of the run itself ("192.168.0.1: verified").
  void Note(const std::string& address, const std::string& text);
  // Redraws the live lines (a terminal only) from the sessions running.
  void Refresh(const std::vector<const RouterSession*>& active, std::int64_t nowMs);
  // Takes the live lines off the screen, before other output.
  void Clear();

 private:
  std::ostream& err_;
  bool terminal_;
  int drawn_ = 0;
  std::int64_t lastDrawMs_ = -1;
};

}  // namespace fwu
