#include "cli/search_command.h"

#include <iostream>

#include "app/loop_quitter.h"
#include "app/upgrade_codes.h"
#include "app/upgrade_program.h"
#include "cli/argument_checks.h"
#include "cli/exit_status.h"
#include "cli/router_list.h"
#include "notice/console_notice_display.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "platform/termination_requests.h"
#include "ui/console_dialogs.h"

namespace fwu {

int RunSearch(const Arguments& arguments) {
  PollEventLoop loop;
  ConsoleDialogs dialogs(loop, std::cerr);
  ConsoleNoticeDisplay notices(loop, std::cerr);
  LoopQuitter application(loop);
  UpgradeProgram program(loop, dialogs, notices, application, {}, ExecutablePath());
  TUpgradeForm1& form = program.Form();
  TerminationRequests requests(loop, [&form](const std::string& request) { form.EndOnRequest(request); });

  form.FormCreate();
  if (form.StartupFailed()) return exit_status::kBadUsage;
  // The vendor's control file says which probes the search sends and where;
  // what it would start afterwards is no business of a search.
  if (form.ApplyInitialSetting() == verdict::kReadError) return exit_status::kBadUsage;
  if (!requests.CheckNow()) form.SearchLAN();
  if (requests.CheckNow()) return exit_status::kFailed;

  const auto routers = FoldedRouters(program.Search().Table().Entries());
  if (AsksForJson(arguments)) {
    std::cout << RouterListJson(routers);
  } else {
    for (const std::string& line : RouterListLines(routers)) std::cout << line << '\n';
  }
  std::cout.flush();
  std::cerr << RouterCountText(routers.size()) << std::endl;
  return routers.empty() ? exit_status::kFailed : exit_status::kSucceeded;
}

}  // namespace fwu
