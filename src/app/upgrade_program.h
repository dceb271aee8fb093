#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/tftp_transfer.h"
#include "app/upgrade_form.h"
#include "net/udp_endpoint.h"
#include "notice/notice_window.h"
#include "search/refresh_form.h"
#include "transfer/ftp_form.h"
#include "transfer/tftp_form.h"

namespace fwu {

// Every object the upgrade program is made of, built once for whichever
// view runs it: the search window's object, the notice window, the TFTP
// window, the FTP transfer and the main window. The view brings the loop,
// its dialogs, the way it puts a notice on screen and the way to end.
class UpgradeProgram {
 public:
  UpgradeProgram(EventLoop& loop, Dialogs& dialogs, NoticeDisplay& noticeDisplay, ApplicationControl& application,
                 std::vector<std::string> arguments, std::string programPath);

  TUpgradeForm1& Form() { return form_; }
  TRefreshForm& Search() { return *search_; }

 private:
  NoticeWindow notices_;
  std::unique_ptr<TRefreshForm> search_;
  TUdpEndpoint udp_;
  TTFTPForm tftpForm_;
  TftpTransfer tftp_;
  TmyFTPForm ftp_;
  TUpgradeForm1 form_;
};

}  // namespace fwu
