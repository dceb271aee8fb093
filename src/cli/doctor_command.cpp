#include "cli/doctor_command.h"

#include <iostream>

#include "cli/exit_status.h"
#include "doctor/host_report.h"
#include "platform/files.h"
#include "search/search_settings.h"

namespace fwu {

namespace {

constexpr const char* kJson = "--json";

}  // namespace

std::string CheckDoctorArguments(const Arguments& arguments) {
  if (arguments.size() == 1 || (arguments.size() == 2 && arguments[1] == kJson)) return {};
  return "doctor takes only --json, not \"" + arguments.back() + "\"";
}

int RunDoctor(const Arguments& arguments) {
  const HostFacts facts = ReadHostFacts();
  const auto checks = JudgeHost(facts, SearchSettings{}.searchIps, ExecutablePath());
  std::cout << (arguments.size() == 2 ? HostReportJson(facts, checks) : HostReportText(checks)) << std::flush;
  return WorstLevel(checks) == CheckLevel::Fail ? exit_status::kFailed : exit_status::kSucceeded;
}

}  // namespace fwu
