#include "app/http_thread.h"
#include "app/login_router.h"
#include "app/upgrade_form.h"

namespace fwu {

int TUpgradeForm1::RunLogin() {
  return LoginRouter(models_.PasswordComBox.Text(), SelectedIP_, UpgradeMethod_, models_.Memo1);
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
  httpWorker_ = std::make_unique<THTTPThread>(std::move(context));
}

void TUpgradeForm1::StopHttpWorker() {
  if (!httpWorker_) return;
  httpWorker_->Terminate();
  httpWorker_.reset();  // ends the connection and waits for the thread
}

}  // namespace fwu
