#include "gui/qt/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/upgrade_form.h"
#include "gui/qt/control_views.h"
#include "gui/qt/elided_label.h"
#include "gui/qt/log_saving.h"

namespace fwu {

namespace {

constexpr int kStatusBarHeight = 19;
constexpr char kEnterKey = 13;

// Keys the Exit button passes on; the form decides what they do.
std::optional<FunctionKey> ExitKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_F1: return FunctionKey::F1;
    case Qt::Key_F2: return FunctionKey::F2;
    case Qt::Key_F3: return FunctionKey::F3;
    case Qt::Key_F4: return FunctionKey::F4;
    case Qt::Key_F5: return FunctionKey::F5;
    default: return std::nullopt;
  }
}

template <typename Layout>
Layout* TightLayout(QWidget* parent) {
  auto* layout = new Layout(parent);
  // The groups are as low as the original's; Qt's default margins would
  // not leave room for the controls.
  layout->setContentsMargins(6, 3, 6, 3);
  layout->setSpacing(4);
  return layout;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

MainWindow::MainWindow(TUpgradeForm1& form) : form_(form) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setObjectName(QStringLiteral("UpgradeForm1"));
  BuildSearchGroup();
  BuildPasswordGroup();
  BuildFileGroup();
  BuildToolGroup();
  BuildProgressGroup();
  BuildLogGroup();
  BuildStatusBar();
  WatchWindow();
}

MainWindow::~MainWindow() = default;

QGroupBox* MainWindow::AddGroup(GroupModel& model, const char* name) {
  auto* group = Named(new QGroupBox(ToQString(model.Caption()), this), name);
  groups_.emplace_back(&model, group);
  subscriptions_.Watch(model, [this, &model, group] {
    group->setVisible(model.Visible());
    group->setEnabled(model.Enabled());
    StackGroups();
  });
  return group;
}

void MainWindow::BuildSearchGroup() {
  MainWindowModels& m = form_.Models();
  QGroupBox* group = AddGroup(m.SearchGroup, "SearchGroup");
  auto* column = TightLayout<QVBoxLayout>(group);
  auto* label = new QLabel(group);
  ShowLabel(subscriptions_, m.searchLabel, *label);
  column->addWidget(label);
  auto* row = new QHBoxLayout;
  column->addLayout(row);
  routerList_ = Named(new QComboBox(group), "IPComBox");
  ShowComboBox(subscriptions_, m.IPComBox, *routerList_, [this] { SelectRouter(); });
  routerList_->lineEdit()->installEventFilter(this);
  row->addWidget(routerList_, 1);
  auto* refresh = Named(new QPushButton(group), "IPReFresh");
  ShowButton(subscriptions_, m.IPReFresh, *refresh, [this] { form_.IPReFreshClick(); });
  row->addWidget(refresh);
}

void MainWindow::BuildPasswordGroup() {
  MainWindowModels& m = form_.Models();
  QGroupBox* group = AddGroup(m.PasswordGroup, "PasswordGroup");
  auto* row = TightLayout<QHBoxLayout>(group);
  auto* label = new QLabel(group);
  ShowLabel(subscriptions_, m.passwordLabel, *label);
  row->addWidget(label);
  auto* password = Named(new QLineEdit(group), "PasswordComBox");
  // The mask character the program's users know from the original.
  password->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  ShowEdit(subscriptions_, m.PasswordComBox, *password, [this] { form_.PasswordComBoxChange(); });
  row->addWidget(password, 1);
  auto* info = Named(new QLabel(group), "passwordInfo");
  info->setStyleSheet(QStringLiteral("color: red;"));
  ShowLabel(subscriptions_, m.passwordInfo, *info);
  row->addWidget(info, 1);
}

void MainWindow::BuildFileGroup() {
  MainWindowModels& m = form_.Models();
  QGroupBox* group = AddGroup(m.UpgreadFileGroup, "UpgreadFileGroup");
  auto* column = TightLayout<QVBoxLayout>(group);
  auto* label = new QLabel(group);
  ShowLabel(subscriptions_, m.fileLabel, *label);
  column->addWidget(label);
  auto* row = new QHBoxLayout;
  column->addLayout(row);
  auto* files = Named(new QLineEdit(group), "UpdateFileName");
  ShowEdit(subscriptions_, m.UpdateFileName, *files, [] {});
  row->addWidget(files, 1);
  auto* browse = Named(new QPushButton(group), "Browse");
  ShowButton(subscriptions_, m.Browse, *browse, [this] { form_.BrowseClick(); });
  row->addWidget(browse);
}

void MainWindow::BuildToolGroup() {
  MainWindowModels& m = form_.Models();
  QGroupBox* group = AddGroup(m.ToolGroup, "ToolGroup");
  auto* row = TightLayout<QHBoxLayout>(group);
  auto* upgrade = Named(new QPushButton(group), "Upgrade");
  ShowButton(subscriptions_, m.Upgrade, *upgrade, [this] { form_.UpgradeClick(); });
  exitButton_ = Named(new QPushButton(group), "Exit");
  ShowButton(subscriptions_, m.Exit, *exitButton_, [this] { form_.ExitClick(); });
  exitButton_->installEventFilter(this);
  row->addStretch(1);
  row->addWidget(upgrade);
  row->addStretch(1);
  row->addWidget(exitButton_);
  row->addStretch(1);
}

void MainWindow::BuildProgressGroup() {
  MainWindowModels& m = form_.Models();
  QGroupBox* group = AddGroup(m.ProgressGroup, "ProgressGroup");
  auto* row = TightLayout<QHBoxLayout>(group);
  auto* bar = Named(new QProgressBar(group), "ProgressBar1");
  ShowProgressBar(subscriptions_, m.ProgressBar1, *bar);
  row->addWidget(bar);
}

void MainWindow::BuildLogGroup() {
  MainWindowModels& m = form_.Models();
  QGroupBox* group = AddGroup(m.GSystemLog, "GSystemLog");
  auto* column = TightLayout<QVBoxLayout>(group);
  auto* memo = Named(new QPlainTextEdit(group), "Memo1");
  ShowMemo(subscriptions_, m.Memo1, *memo);
  OfferLogSaving(*memo, [this] {
    return QFileDialog::getSaveFileName(this, tr("Save Log"), QStringLiteral("fwupgrade-log.txt"),
                                        tr("Text files (*.txt);;All files (*)"));
  });
  column->addWidget(memo);
}

void MainWindow::BuildStatusBar() {
  statusBar_ = Named(new QStatusBar(this), "StatusBar1");
  statusBar_->setSizeGripEnabled(false);
  auto* panel = Named(new ElidedLabel(statusBar_), "StatusText");
  statusBar_->addWidget(panel, 1);
  ShowStatus(subscriptions_, form_.Models().StatusBar1, *panel);
}

void MainWindow::WatchWindow() {
  WindowModel& window = form_.Models().window;
  subscriptions_.Watch(window, [this, &window] {
    setWindowTitle(ToQString(window.Caption()));
    setFixedSize(window.Width(), window.Height());
    StackGroups();
    // The form hides its window when it is released: the program ends.
    if (!window.Visible()) hide();
  });
}

void MainWindow::StackGroups() {
  int top = 0;
  for (const auto& [model, group] : groups_) {
    if (!model->Visible()) continue;
    group->setGeometry(0, top, MainWindowModels::kGroupWidth, model->Height());
    top += model->Height();
  }
  if (statusBar_ != nullptr) statusBar_->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
}

void MainWindow::SelectRouter() {
  form_.IPComBoxChange();
  // The selection handler ends with the keyboard on the list.
  routerList_->setFocus();
}

bool MainWindow::event(QEvent* event) {
  // Only the first activation runs the start-up dispatch: every other
  // window of the program is modal, and neither the end of a modal dialog
  // nor a switch from another application is an activation of the form.
  // It runs once the activation is over, as it may open modal dialogs.
  if (event->type() == QEvent::WindowActivate && !activatedOnce_) {
    activatedOnce_ = true;
    QTimer::singleShot(0, this, [this] { form_.FormActivate(); });
  }
  return QWidget::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (form_.Closed()) {
    event->accept();
    return;
  }
  // The form asks its close query; when it lets the window go it releases
  // it, which hides this widget through the window model.
  event->ignore();
  form_.Close();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (watched == routerList_->lineEdit() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    form_.IPComBoxKeyPress(kEnterKey);
    routerList_->setFocus();
    return true;  // the list must not also treat Enter as a pick
  }
  if (watched == exitButton_) {
    if (const auto exitKey = ExitKeyOf(key->key())) {
      form_.ExitKeyDown(*exitKey, key->modifiers().testFlag(Qt::AltModifier));
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace fwu
