#pragma once

#include <QWidget>
#include <utility>
#include <vector>

#include "ui/model_subscriptions.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class QStatusBar;

namespace fwu {

class GroupModel;
class TUpgradeForm1;

// The upgrade window: draws the main window's models and hands every click
// and key to the form's handlers. It decides nothing itself. Child widgets
// carry the control names as object names (IPComBox, Upgrade, Memo1...).
class MainWindow final : public QWidget {
 public:
  explicit MainWindow(TUpgradeForm1& form);
  ~MainWindow() override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QGroupBox* AddGroup(GroupModel& model, const char* name);
  void BuildSearchGroup();
  void BuildPasswordGroup();
  void BuildFileGroup();
  void BuildToolGroup();
  void BuildProgressGroup();
  void BuildLogGroup();
  void BuildStatusBar();
  void WatchWindow();
  // Visible groups top to bottom without gaps, the status line at the
  // bottom edge.
  void StackGroups();
  void SelectRouter();

  TUpgradeForm1& form_;
  ModelSubscriptions subscriptions_;
  std::vector<std::pair<GroupModel*, QGroupBox*>> groups_;
  QComboBox* routerList_ = nullptr;
  QPushButton* exitButton_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  bool activatedOnce_ = false;
};

}  // namespace fwu
