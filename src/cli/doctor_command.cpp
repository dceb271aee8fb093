#include "cli/doctor_command.h"

#include <iostream>

#include "cli/argument_checks.h"
#include "cli/exit_status.h"
#include "doctor/host_report.h"
#include "platform/files.h"
#include "search/search_settings.h"

namespace fwu {

int RunDoctor(const Arguments& arguments) {
  const HostFacts facts = ReadHostFacts();
  const auto checks = JudgeHost(facts, SearchSettings{}.searchIps, ExecutablePath());
  std::cout << (AsksForJson(arguments) ? HostReportJson(facts, checks) : HostReportText(checks)) << std::flush;
  return WorstLevel(checks) == CheckLevel::Fail ? exit_status::kFailed : exit_status::kSucceeded;
}

}  // namespace fwu
