#pragma once

#include <string>
#include <vector>

#include "fleet/event_log.h"
#include "fleet/fleet_plan.h"

namespace fwu {

struct FleetCounts {
  int verified = 0;
  int notVerified = 0;
  int failed = 0;
  int skipped = 0;
};
FleetCounts CountResults(const std::vector<PlannedRouter>& rows);

// 0 when no router failed or stayed unverified and at least one was
// verified or already current; 1 otherwise (an empty LAN too). A dry run
// that got this far is 0.
int FleetExitStatus(const std::vector<PlannedRouter>& rows, bool dryRun);

// The plan and the summary: one row per router, then (for the summary)
// the line of counts.
std::string PlanTable(const std::vector<PlannedRouter>& rows);
std::string SummaryTable(const std::vector<PlannedRouter>& rows, bool interrupted);

// The "router-done" event of a row whose result is known, and the
// "fleet-done" event that ends a run.
void LogRouterDone(EventLog& log, const PlannedRouter& row);
void LogFleetDone(EventLog& log, const std::vector<PlannedRouter>& rows, bool interrupted);

}  // namespace fwu
