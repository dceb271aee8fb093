#include "app/login_router.h"
#include "app/rom_value.h"
#include "app/upgrade_codes.h"
#include "app/upgrade_form.h"
#include "app/upgrade_texts.h"
#include "platform/files.h"
#include "search/device_search.h"
#include "transfer/http_client.h"
#include "transfer/transfer_view.h"

namespace fwu {

namespace {

constexpr int kFtpSaved = 1;
constexpr int kFtpPasswordRefused = -2;
constexpr int kFtpEndsDownload = -3;

}  // namespace

void TUpgradeForm1::RunRomDownload() {
  StopTimer_.SetEnabled(false);
  models_.Upgrade.SetEnabled(false);
  GetMode_ = 0;
  if (InitialSetting_.Flags() & control_flag::kShowLog) ShowLogPane();

  const std::string address = SelectedAddressText();
  const std::string password = models_.PasswordComBox.Text();
  // The data comes from the router named, once a search has found it there.
  if (!services_.search.Lookup(address)) {
    ReportRouterNotFound();
    return;
  }
  if (!services_.search.Ping(address)) {
    Log("Unconnect to router : " + address);
    services_.dialogs.ShowMessage({text::kUnconnectToRouter, text::kRouterConnectionFailure});
    return;
  }
  const RomValue offset = DeriveRomValue(InitialSetting_.RomOffset());
  const RomValue length = DeriveRomValue(InitialSetting_.RomLength());
  const std::string localFile = NativePath(InitialSetting_.RomFile());

  Log("Try FTP Get Method first...");
  const std::string range = std::to_string(offset.number) + "#" + std::to_string(length.number);
  const int ftpResult =
      services_.ftp ? services_.ftp->GetRomFile({models_, address, password, range, localFile, length.number}) : -1;
  const std::string ftpText = services_.ftp ? services_.ftp->ResultText() : text::kFtpNotAvailable;
  if (ftpResult == kFtpSaved) {
    romSaved_ = true;
    Log("Get ROM data success");
    if (!LogVisible_) Close();
    return;
  }
  if (ftpResult == kFtpPasswordRefused) {
    services_.dialogs.ShowMessage({"Password error. Please check again.", "Failure"});
    Close();
    return;
  }
  Log(ftpText);
  if (ftpResult == kFtpEndsDownload) {
    if (!LogVisible_) Close();
    return;
  }
  Log("Try to use HTTP Get method.");
  const int login = LoginRouter(password, address, UpgradeMethod_, models_.Memo1);
  if (login < 0) {
    ShowLoginVerdict(login);
    return;
  }
  try {
    HttpClient client;
    ModelTransferView view(models_.Memo1, models_.StatusBar1, models_.ProgressBar1);
    if (client.GetRomFile(view, address, kWebPort, localFile, password, offset.number, length.number,
                          offset.text, length.text) < 0) {
      services_.dialogs.ShowMessage({"HTTP Get ROM Error", "Failure"});
      Log(ftpText);
    } else {
      romSaved_ = true;
    }
  } catch (const std::exception&) {
    // The client is gone with the stack; the window closes as after any try.
  }
  Close();
}

}  // namespace fwu
