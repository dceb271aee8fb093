#include "app/http_thread.h"
#include "app/login_router.h"
#include "app/upgrade_form.h"

namespace fwu {

int TUpgradeForm1::RunLogin() {
  const std::string& password = models_.PasswordComBox.Text();
  if (services_.web) return LoginRouter(*services_.web, password, UpgradeMethod_, models_.Memo1);
  return LoginRouter(password, SelectedIP_, UpgradeMethod_, models_.Memo1);
}

void TUpgradeForm1::StartHttpWorker() {
  HttpThreadContext context(services_.loop, services_.dialogs, models_, services_.notices, StopCounter_,
                            UpgradeState_);
  context.fileList = FileList_;
  context.selectedIP = SelectedIP_;
  context.selectedROMID = SelectedROMID_;
  context.selectedType = SelectedType_;
  context.port = static_cast<std::uint16_t>(LoginResult_);
  context.sectionIDCheck = SectionIDCheck_ != 0;
  context.sectionList = SectionList_;
  context.interactive = Interactive_ != 0;
  context.factoryRelease = FactoryRelease_ != 0;
  context.setSectionResult = [this](const std::string& letters) { SectionResult_ = letters; };
  httpWorker_ = services_.startHttpWorker ? services_.startHttpWorker(std::move(context))
                                         : std::make_unique<THTTPThread>(std::move(context));
}

void TUpgradeForm1::StopHttpWorker() {
  httpWorker_.reset();  // ends the connection and waits for the thread
}

}  // namespace fwu
