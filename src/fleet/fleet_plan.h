#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fleet/fleet_options.h"
#include "search/device_search.h"

namespace fwu {

// How a router is upgraded, as the single-router program decides it.
enum class FleetMethod { None, Tftp, Http, Ftp, HttpAfterFtp };
// "tftp", "http", "ftp", "http-after-ftp"; nullptr for None.
const char* MethodName(FleetMethod method);

enum class RouterResult { Planned, Verified, NotVerified, Failed, Skipped };
// "verified", "not-verified", "failed", "skipped"; "planned" before the run.
const char* ResultName(RouterResult result);

// One row of the plan: a router found by the search, and what the run
// does with it. Rows that are skipped or failed at planning are never
// contacted again.
struct PlannedRouter {
  std::string address;
  std::string romId;  // as the search's table holds it
  std::string info;
  bool crashed = false;
  FleetMethod method = FleetMethod::None;
  std::vector<std::string> files;
  std::string password;
  RouterResult result = RouterResult::Planned;
  std::string reason;
  // Filled in by the run.
  std::string infoAfter;
  std::string backup;  // the ROM data file saved
  double seconds = 0;
};

// The checks a plan needs from outside, so that the rules are tested
// without a LAN.
struct PlanChecks {
  // The files the selection rules choose for a router's table ROM ID; empty
  // when they choose nothing.
  std::function<std::vector<std::string>(const std::string& romId, bool crashed)> chooseFiles;
  // One login to a running router. On success, method is Http or Ftp by
  // its generation.
  struct Login {
    enum class Outcome { Accepted, Refused, Failed } outcome = Outcome::Failed;
    FleetMethod method = FleetMethod::Http;
    std::string failure = {};  // why, when Failed
  };
  std::function<Login(const std::string& address, const std::string& password)> logIn;
};

// A crashed router's model: its table ROM ID without the recovery tag and
// the blanks after it ("$Quelby R1A" gives "R1A").
std::string ModelOf(const DeviceEntry& entry);
bool IsCrashed(const DeviceEntry& entry);

// The plan from one search's table: every reachable, not duplicated router
// (those --only names, when given), crashed ones only with --recover; the
// model and firmware rules; --target-info's "already current"; passwords
// tried in turn, at most three, for each running router that is left.
std::vector<PlannedRouter> MakePlan(const std::vector<DeviceEntry>& found, const FleetOptions& options,
                                    const PlanChecks& checks);

}  // namespace fwu
