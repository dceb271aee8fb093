#include "fleet/fleet_report.h"

#include <algorithm>
#include <cstdio>

#include "platform/printable_text.h"

namespace fwu {

namespace {

constexpr std::size_t kAddressWidth = 16;
constexpr std::size_t kRomIdWidth = 14;
constexpr std::size_t kMethodWidth = 15;
constexpr std::size_t kResultWidth = 13;

std::string Column(const std::string& text, std::size_t width) {
  std::string cell = PrintableText(text);
  if (cell.size() < width) cell.resize(width, ' ');
  return cell + ' ';
}

std::string MethodText(FleetMethod method) {
  const char* name = MethodName(method);
  return name ? name : "-";
}

std::string FileNames(const std::vector<std::string>& files) {
  std::string names;
  for (const std::string& path : files) {
    names += (names.empty() ? "" : ",") + path.substr(path.find_last_of('/') + 1);
  }
  return names.empty() ? "-" : names;
}

std::string RowStart(const PlannedRouter& row) {
  return Column(row.address, kAddressWidth) + Column(row.romId.empty() ? "-" : row.romId, kRomIdWidth) +
         Column(MethodText(row.method), kMethodWidth);
}

bool AlreadyCurrent(const PlannedRouter& row) {
  return row.result == RouterResult::Skipped && row.reason == "already current";
}

}  // namespace

FleetCounts CountResults(const std::vector<PlannedRouter>& rows) {
  FleetCounts counts;
  for (const PlannedRouter& row : rows) {
    switch (row.result) {
      case RouterResult::Verified: ++counts.verified; break;
      case RouterResult::NotVerified: ++counts.notVerified; break;
      case RouterResult::Skipped: ++counts.skipped; break;
      case RouterResult::Failed:
      case RouterResult::Planned: ++counts.failed; break;  // a row the run never finished
    }
  }
  return counts;
}

int FleetExitStatus(const std::vector<PlannedRouter>& rows, bool dryRun) {
  if (dryRun) return 0;
  const FleetCounts counts = CountResults(rows);
  const bool anyDone = counts.verified > 0 || std::any_of(rows.begin(), rows.end(), AlreadyCurrent);
  return counts.failed == 0 && counts.notVerified == 0 && anyDone ? 0 : 1;
}

std::string PlanTable(const std::vector<PlannedRouter>& rows) {
  std::string table = "plan: " + std::to_string(rows.size()) + (rows.size() == 1 ? " router\n" : " routers\n");
  for (const PlannedRouter& row : rows) {
    table += "  " + RowStart(row);
    if (row.result == RouterResult::Planned) {
      table += "files " + PrintableText(FileNames(row.files)) + "  info \"" + PrintableText(row.info) + "\"\n";
    } else {
      table += Column(ResultName(row.result), kResultWidth) + PrintableText(row.reason) + "\n";
    }
  }
  return table;
}

std::string SummaryTable(const std::vector<PlannedRouter>& rows, bool interrupted) {
  std::string table = interrupted ? "summary (interrupted):\n" : "summary:\n";
  for (const PlannedRouter& row : rows) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%6.1fs ", row.seconds);
    table += "  " + RowStart(row) + Column(ResultName(row.result), kResultWidth) + seconds + "\"" +
             PrintableText(row.info) + "\" -> \"" + PrintableText(row.infoAfter) + "\"";
    if (!row.reason.empty()) table += "  " + PrintableText(row.reason);
    table += '\n';
  }
  const FleetCounts counts = CountResults(rows);
  table += std::to_string(counts.verified) + " verified, " + std::to_string(counts.notVerified) + " not verified, " +
           std::to_string(counts.failed) + " failed, " + std::to_string(counts.skipped) + " skipped" +
           (interrupted ? " (interrupted)\n" : "\n");
  return table;
}

void LogRouterDone(EventLog& log, const PlannedRouter& row) {
  JsonObject fields;
  fields.Add("rom_id", row.romId)
      .Add("method", MethodName(row.method))
      .Add("result", ResultName(row.result))
      .Add("reason", row.reason)
      .Add("info_before", row.info)
      .Add("info_after", row.infoAfter)
      .AddOptional("backup", row.backup.empty() ? std::nullopt : std::optional<std::string>(row.backup))
      .Add("files", row.files)
      .Add("seconds", row.seconds);
  log.Write("router-done", row.address, fields);
}

void LogFleetDone(EventLog& log, const std::vector<PlannedRouter>& rows, bool interrupted) {
  const FleetCounts counts = CountResults(rows);
  log.Write("fleet-done", std::nullopt,
            JsonObject()
                .Add("verified", counts.verified)
                .Add("not_verified", counts.notVerified)
                .Add("failed", counts.failed)
                .Add("skipped", counts.skipped)
                .Add("interrupted", interrupted));
}

}  // namespace fwu
