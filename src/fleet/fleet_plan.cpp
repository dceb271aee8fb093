#include "fleet/fleet_plan.h"

#include <algorithm>

namespace fwu {

namespace {

constexpr std::string_view kRecoveryTag = "$Quelby";

// Search status codes (the table of the device search).
constexpr int kCrashed = 0;
constexpr int kRunning = 1;
constexpr int kDefaultAddress = 2;

bool Named(const std::vector<std::string>& only, const std::string& address) {
  return only.empty() || std::find(only.begin(), only.end(), address) != only.end();
}

// Why a table entry is left out of the run, or nothing when it takes part.
std::optional<std::string> NotWorkable(const DeviceEntry& entry, const FleetOptions& options) {
  switch (entry.status) {
    case kRunning: return std::nullopt;
    case kCrashed: return options.recover ? std::nullopt : std::optional<std::string>("crashed (--recover)");
    case kDefaultAddress: return "factory default address";
    default: return "IP unreachable";
  }
}

void Decide(PlannedRouter& row, RouterResult result, std::string reason) {
  row.result = result;
  row.reason = std::move(reason);
}

void TryPasswords(PlannedRouter& row, const FleetOptions& options, const PlanChecks& checks) {
  // A release to the user logs in with the empty password by default.
  const std::vector<std::string> offered = options.passwords.empty() ? std::vector<std::string>{""} : options.passwords;
  for (const std::string& password : offered) {
    const PlanChecks::Login login = checks.logIn(row.address, password);
    if (login.outcome == PlanChecks::Login::Outcome::Accepted) {
      row.password = password;
      row.method = login.method;
      return;
    }
    if (login.outcome == PlanChecks::Login::Outcome::Failed) {
      Decide(row, RouterResult::Failed, "login failed: " + login.failure);
      return;
    }
  }
  Decide(row, RouterResult::Failed, "password refused");
}

}  // namespace

const char* MethodName(FleetMethod method) {
  switch (method) {
    case FleetMethod::Tftp: return "tftp";
    case FleetMethod::Http: return "http";
    case FleetMethod::Ftp: return "ftp";
    case FleetMethod::HttpAfterFtp: return "http-after-ftp";
    case FleetMethod::None: break;
  }
  return nullptr;
}

const char* ResultName(RouterResult result) {
  switch (result) {
    case RouterResult::Verified: return "verified";
    case RouterResult::NotVerified: return "not-verified";
    case RouterResult::Failed: return "failed";
    case RouterResult::Skipped: return "skipped";
    case RouterResult::Planned: break;
  }
  return "planned";
}

bool IsCrashed(const DeviceEntry& entry) { return entry.status == kCrashed; }

std::string ModelOf(const DeviceEntry& entry) {
  if (!IsCrashed(entry) || entry.romId.compare(0, kRecoveryTag.size(), kRecoveryTag) != 0) return entry.romId;
  const std::size_t model = entry.romId.find_first_not_of(' ', kRecoveryTag.size());
  return model == std::string::npos ? std::string() : entry.romId.substr(model);
}

std::vector<PlannedRouter> MakePlan(const std::vector<DeviceEntry>& found, const FleetOptions& options,
                                    const PlanChecks& checks) {
  std::vector<PlannedRouter> plan;
  for (const DeviceEntry& entry : found) {
    // A second line for an address is a duplicate answer, not a router.
    if (entry.status < 0 || !Named(options.only, entry.address)) continue;
    PlannedRouter row;
    row.address = entry.address;
    row.romId = entry.romId;
    row.info = entry.info;
    row.crashed = IsCrashed(entry);
    row.method = row.crashed ? FleetMethod::Tftp : FleetMethod::Http;
    if (const auto why = NotWorkable(entry, options)) {
      Decide(row, RouterResult::Skipped, *why);
    } else if (options.romIdPrefix && ModelOf(entry).compare(0, options.romIdPrefix->size(), *options.romIdPrefix)) {
      Decide(row, RouterResult::Skipped, "other model");
    } else if (options.targetInfo && !row.crashed && entry.info == *options.targetInfo) {
      Decide(row, RouterResult::Skipped, "already current");
    } else {
      row.files = checks.chooseFiles(entry.romId, row.crashed);
      if (row.files.empty()) Decide(row, RouterResult::Skipped, "no firmware for ROM ID " + entry.romId);
    }
    if (row.result == RouterResult::Planned && !row.crashed) TryPasswords(row, options, checks);
    if (row.result != RouterResult::Planned) row.method = FleetMethod::None;
    plan.push_back(std::move(row));
  }
  for (const std::string& address : options.only) {
    const bool listed = std::any_of(plan.begin(), plan.end(), [&](const PlannedRouter& r) { return r.address == address; });
    if (listed) continue;
    PlannedRouter missing;
    missing.address = address;
    Decide(missing, RouterResult::Failed, "not found");
    plan.push_back(std::move(missing));
  }
  return plan;
}

}  // namespace fwu
