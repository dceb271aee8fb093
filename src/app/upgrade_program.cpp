#include "app/upgrade_program.h"

namespace fwu {

UpgradeProgram::UpgradeProgram(EventLoop& loop, Dialogs& dialogs, NoticeDisplay& noticeDisplay,
                               ApplicationControl& application, std::vector<std::string> arguments,
                               std::string programPath)
    : notices_(loop, noticeDisplay),
      search_(MakeRefreshForm(loop)),
      udp_(loop),
      // The TFTP window opens the endpoint for each run.
      tftpForm_(loop, udp_, notices_, dialogs),
      tftp_(tftpForm_),
      ftp_(loop, notices_, dialogs),
      form_(UpgradeFormServices{loop, dialogs, *search_, notices_, application, &tftp_, &ftp_},
            std::move(arguments), std::move(programPath)) {
  search_->SetLog(&form_.Models().Memo1);
}

}  // namespace fwu
