#include "gui/qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/upgrade_form.h"
#include "fake_lan.h"
#include "gui/qt/elided_label.h"
#include "gui/qt/log_saving.h"
#include "gui/qt/qt_dialogs.h"
#include "gui/qt/qt_event_loop.h"
#include "modal_answerer.h"
#include "notice/hidden_notice_presenter.h"
#include "support/window_test_doubles.h"

namespace fwu {
namespace {

using testing::CountingApplication;
using testing::FakeFtp;
using testing::FakeLan;
using testing::ModalAnswerer;

constexpr int kWaitMs = 3000;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    // A program file without a bundle: the user chooses files with Browse.
    QFile program(ProgramPath());
    program.open(QIODevice::WriteOnly);
    program.write(QByteArray(1000, 'Z'));
    lan_.network = {{3, "192.168.0.1", "QRT101", "crash"}, {6, "192.168.2.1", "ABC100", "unknow device"}};
  }

  QString ProgramPath() const { return files_.filePath("upgrader"); }

  // Creation, then the window on screen; its first activation searches.
  void Start() {
    form_.FormCreate();
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return lan_.fullSearches == 1 && RouterList()->count() > 0; }, kWaitMs));
  }

  template <typename Widget>
  Widget* Child(const char* name) {
    auto* child = window_.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QComboBox* RouterList() { return Child<QComboBox>("IPComBox"); }
  QLineEdit* Password() { return Child<QLineEdit>("PasswordComBox"); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(name); }
  QString Status() { return Child<QLabel>("StatusText")->text(); }
  bool Shown(const char* group) { return !Child<QGroupBox>(group)->isHidden(); }
  int Top(const char* group) { return Child<QGroupBox>(group)->geometry().top(); }

  void PickRouter(int index) {
    while (RouterList()->currentIndex() != index) {
      QTest::keyClick(RouterList(), RouterList()->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }
  }

  // Browse with the given files made in the scratch directory.
  QStringList Browse(const QStringList& names) {
    QStringList paths;
    for (const QString& name : names) {
      QFile file(files_.filePath(name));
      file.open(QIODevice::WriteOnly);
      file.write("firmware");
      paths.append(file.fileName());
    }
    user_.QueueFiles(files_.path(), names);
    QTest::mouseClick(Button("Browse"), Qt::LeftButton);
    return paths;
  }

  QTemporaryDir files_;
  QtEventLoop loop_;
  QtDialogs dialogs_{loop_};
  FakeLan lan_{loop_};
  HiddenNoticePresenter notices_;
  CountingApplication application_;
  FakeFtp ftp_{loop_};
  TUpgradeForm1 form_{UpgradeFormServices{loop_, dialogs_, lan_, notices_, application_, nullptr, &ftp_},
                      {},
                      ProgramPath().toStdString()};
  MainWindow window_{form_};
  ModalAnswerer user_;
  const MainWindowModels& models_ = form_.Models();
};

TEST_F(MainWindowTest, TheFirstActivationSearchesWithTheDialogAndListsTheRoutersFound) {
  bool dialogOnScreen = false;
  lan_.duringSearch = [&] {
    auto* dialog = qobject_cast<QWidget*>(QApplication::activeModalWidget());
    dialogOnScreen = dialog != nullptr && dialog->objectName() == "RefreshForm" && dialog->isVisible();
  };
  Start();
  EXPECT_TRUE(dialogOnScreen);
  EXPECT_EQ(window_.windowTitle(), "Firmware Upgrade  V1.1.1");
  EXPECT_EQ(RouterList()->count(), 2);
  EXPECT_EQ(RouterList()->itemText(0), "192.168.0.1   crash");
  EXPECT_EQ(RouterList()->currentText(), "192.168.0.1   crash");
  EXPECT_EQ(Status(), "2 device(s) found");
  EXPECT_TRUE(Child<QPlainTextEdit>("Memo1")->toPlainText().startsWith("Program Version V1.1.1e\n"));

  // Later activations (the search dialog closing was one) search no more.
  window_.activateWindow();
  QTest::qWait(50);
  EXPECT_EQ(lan_.fullSearches, 1);
}

TEST_F(MainWindowTest, TheWindowShowsTheGroupsOfItsLayoutStackedWithoutGaps) {
  Start();
  // A crashed router and no files: the files group, progress and tools.
  EXPECT_EQ(window_.height(), models_.window.Height());
  EXPECT_EQ(window_.width(), 344);
  EXPECT_FALSE(Shown("PasswordGroup"));
  EXPECT_TRUE(Shown("UpgreadFileGroup"));
  EXPECT_FALSE(Shown("GSystemLog"));
  EXPECT_EQ(Top("SearchGroup"), 0);
  EXPECT_EQ(Top("UpgreadFileGroup"), 57);
  EXPECT_EQ(Top("ToolGroup"), 57 + 57);
  EXPECT_EQ(Top("ProgressGroup"), 57 + 57 + 41);
  EXPECT_EQ(Child<QWidget>("StatusBar1")->geometry().bottom(), window_.height() - 1);
}

TEST_F(MainWindowTest, PickingARouterEnablesThePasswordAndTypingItEnablesUpgrade) {
  Start();
  EXPECT_FALSE(Password()->isEnabled());
  EXPECT_FALSE(Button("Upgrade")->isEnabled());

  Button("Exit")->setFocus();
  PickRouter(1);
  EXPECT_EQ(models_.IPComBox.Text(), "192.168.2.1   unknow device");
  EXPECT_TRUE(Shown("PasswordGroup"));
  EXPECT_TRUE(Password()->isEnabled());
  EXPECT_EQ(Status(), "Please select the upgrade files");
  EXPECT_EQ(window_.focusWidget(), RouterList()) << "the selection ends with the keyboard on the list";

  QTest::keyClicks(Password(), "kelpo12345678");
  EXPECT_EQ(models_.PasswordComBox.Text(), "kelpo1234") << "at most 9 characters";
  EXPECT_EQ(Password()->displayText(), "*********");
  EXPECT_TRUE(Button("Upgrade")->isEnabled());
  EXPECT_EQ(Status(), "Confirm your password and press Upgrade button to upgrade");
}

TEST_F(MainWindowTest, BrowsingForThreeFilesShowsEachPathFollowedBySemicolonAndBlank) {
  Start();
  const QStringList paths = Browse({"one.bin", "two.bin", "three.exe"});
  ASSERT_EQ(form_.FileList().Count(), 3u);
  EXPECT_EQ(form_.FileList()[2].path, paths[2].toStdString());
  EXPECT_EQ(Child<QLineEdit>("UpdateFileName")->text(), paths.join("; ") + "; ");
  EXPECT_TRUE(Child<QLineEdit>("UpdateFileName")->isReadOnly());
  EXPECT_TRUE(Button("Upgrade")->isEnabled());

  user_.QueueFiles(files_.path(), {});  // cancelled: nothing changes
  QTest::mouseClick(Button("Browse"), Qt::LeftButton);
  EXPECT_EQ(form_.FileList().Count(), 3u);
}

TEST_F(MainWindowTest, AltF3OnTheExitButtonShowsEveryGroupAndAltF2HidesTheLog) {
  Start();
  QPushButton* exitButton = Button("Exit");
  exitButton->setFocus();
  const int height = window_.height();
  QTest::keyClick(exitButton, Qt::Key_F3);
  EXPECT_FALSE(Shown("GSystemLog")) << "F3 without Alt does nothing";
  EXPECT_EQ(window_.height(), height);

  QTest::keyClick(exitButton, Qt::Key_F3, Qt::AltModifier);
  for (const char* group :
       {"SearchGroup", "PasswordGroup", "UpgreadFileGroup", "ToolGroup", "ProgressGroup", "GSystemLog"}) {
    EXPECT_TRUE(Shown(group)) << group;
  }
  EXPECT_EQ(window_.height(), 378);
  EXPECT_EQ(Top("GSystemLog"), 57 + 41 + 57 + 41 + 25);
  EXPECT_EQ(form_.FileListValid(), 0);

  QTest::keyClick(exitButton, Qt::Key_F2, Qt::AltModifier);
  EXPECT_FALSE(Shown("GSystemLog"));
  EXPECT_EQ(window_.height(), 378 - 137);
}

TEST_F(MainWindowTest, UpgradeIsDisabledWhileTheTransferRunsAndEnabledAgainAfterIt) {
  Start();
  PickRouter(1);
  QTest::keyClicks(Password(), "secret");
  Browse({"image.bin"});
  ASSERT_TRUE(Button("Upgrade")->isEnabled());

  bool checkedDuringRun = false;
  ftp_.duringTransfer = [&] {
    checkedDuringRun = true;
    EXPECT_FALSE(Button("Upgrade")->isEnabled());
    EXPECT_EQ(Child<QProgressBar>("ProgressBar1")->value(), 40);
  };
  QTest::mouseClick(Button("Upgrade"), Qt::LeftButton);
  EXPECT_TRUE(checkedDuringRun);
  ASSERT_FALSE(user_.Boxes().empty());
  EXPECT_EQ(user_.Boxes().back().caption, "Success");
  EXPECT_EQ(user_.Boxes().back().text, "Upgrade success");
  EXPECT_TRUE(Button("Upgrade")->isEnabled());
  EXPECT_TRUE(Child<QPlainTextEdit>("Memo1")->toPlainText().contains("Unsing FTP upgrade mode to : 192.168.2.1"));
}

TEST_F(MainWindowTest, ClosingTheWindowAsksTheFormWhichRefusesWhileATransferRuns) {
  Start();
  PickRouter(1);
  Browse({"image.bin"});
  ftp_.duringTransfer = [&] {
    user_.QueueButton(QMessageBox::Cancel);
    window_.close();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_EQ(user_.Boxes().back().text, "Upgrade Not complete, Do you really want to exit program ?");
  };
  QTest::mouseClick(Button("Upgrade"), Qt::LeftButton);
  EXPECT_EQ(application_.terminations, 0);

  window_.close();
  EXPECT_FALSE(window_.isVisible());
  EXPECT_TRUE(form_.Closed());
  EXPECT_EQ(application_.terminations, 1);
}

TEST_F(MainWindowTest, EnterInTheListSearchesOnlyTheTypedAddress) {
  Start();
  QLineEdit* typed = RouterList()->lineEdit();
  typed->clear();
  QTest::keyClicks(typed, "192.168.2.1");
  EXPECT_EQ(models_.IPComBox.Text(), "192.168.2.1");
  QTest::keyClick(typed, Qt::Key_Return);
  EXPECT_EQ(lan_.searchedAddresses, (std::vector<std::string>{"192.168.2.1"}));
  EXPECT_EQ(RouterList()->count(), 1);
  EXPECT_EQ(RouterList()->currentText(), "192.168.2.1   unknow device");
  EXPECT_TRUE(Password()->isEnabled()) << "the router found was selected";
}

TEST_F(MainWindowTest, StatusElidesInTheMiddleProgressShowsPercentAndTheLogSaves) {
  Start();
  auto* status = Child<ElidedLabel>("StatusText");
  const std::string longText = "Start " + std::string(300, 'x') + " end";
  form_.Models().StatusBar1.SetText(longText);
  EXPECT_EQ(status->toolTip().toStdString(), longText);
  EXPECT_TRUE(status->ShownText().startsWith("Start ") && status->ShownText().endsWith(" end"));
  EXPECT_LT(status->ShownText().size(), static_cast<qsizetype>(longText.size())) << "elided";

  auto* bar = Child<QProgressBar>("ProgressBar1");
  form_.Models().ProgressBar1.SetMax(200);
  form_.Models().ProgressBar1.SetPosition(200);
  form_.Models().ProgressBar1.SetMax(400);  // the next run, before its transport sets the position
  EXPECT_EQ(bar->value(), 0) << "a new run starts from 0";
  form_.Models().ProgressBar1.SetPosition(100);
  EXPECT_EQ(bar->text(), "25%");

  const QString saved = files_.filePath("log.txt");
  ASSERT_TRUE(SaveLog(*Child<QPlainTextEdit>("Memo1"), saved));
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("Program Version V1.1.1e\n"));
}

}  // namespace
}  // namespace fwu
