#include "app/upgrade_program.h"

namespace fwu {

UpgradeProgram::UpgradeProgram(EventLoop& loop, Dialogs& dialogs, ApplicationControl& application,
                               std::vector<std::string> arguments, std::string programPath)
    : search_(MakeRefreshForm(loop)),
      ftp_(loop, notices_, dialogs),
      form_(UpgradeFormServices{loop, dialogs, *search_, notices_, application, nullptr, &ftp_},
            std::move(arguments), std::move(programPath)) {
  search_->SetLog(&form_.Models().Memo1);
}

}  // namespace fwu
