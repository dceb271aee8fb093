#pragma once

#include <QDialog>

#include "ui/model_subscriptions.h"

namespace fwu {

class ModalWindowModel;
class SearchWindowModel;

// A modal window of the core on screen: shown while its model is open,
// hidden when the model closes itself. The user cannot close it: the
// window's own code does (the search closes its dialog when it is done).
// The search window's labels and progress bar are drawn when the model is
// the search window.
class ModalDialogView final : public QDialog {
 public:
  ModalDialogView(QWidget* owner, ModalWindowModel& window);
  ~ModalDialogView() override;

  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildSearchControls(SearchWindowModel& search);

  ModelSubscriptions subscriptions_;
};

}  // namespace fwu
