#include "gui/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QFile>
#include <QTemporaryDir>

#include "gui/qt/qt_event_loop.h"
#include "modal_answerer.h"
#include "search/search_window_model.h"

namespace fwu {
namespace {

using testing::ModalAnswerer;

class QtDialogsTest : public ::testing::Test {
 protected:
  QtEventLoop loop_;
  QtDialogs dialogs_{loop_};
  ModalAnswerer user_;
};

TEST_F(QtDialogsTest, AMessageBoxShowsCaptionTextIconAndTheButtonsOfItsSet) {
  const DialogAnswer answer = dialogs_.ShowMessage(
      {"Upgrade Not complete, Do you really want to exit program ?", "Upgrade Warning", ButtonSet::OkCancel,
       BoxKind::Warning});
  EXPECT_EQ(answer, DialogAnswer::Ok) << "the first button is the default";
  ASSERT_EQ(user_.Boxes().size(), 1u);
  const ModalAnswerer::Box& box = user_.Boxes()[0];
  EXPECT_EQ(box.caption, "Upgrade Warning");
  EXPECT_EQ(box.text, "Upgrade Not complete, Do you really want to exit program ?");
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.defaultButton, QMessageBox::Ok);
}

TEST_F(QtDialogsTest, EachButtonClickedIsTheAnswer) {
  user_.QueueButton(QMessageBox::Cancel);
  EXPECT_EQ(dialogs_.ShowMessage({"a", "b", ButtonSet::OkCancel}), DialogAnswer::Cancel);
  user_.QueueButton(QMessageBox::No);
  EXPECT_EQ(dialogs_.ShowMessage({"a", "b", ButtonSet::YesNoCancel}), DialogAnswer::No);
  user_.QueueButton(QMessageBox::Cancel);
  EXPECT_EQ(dialogs_.ShowMessage({"a", "b", ButtonSet::YesNoCancel}), DialogAnswer::Cancel);
  EXPECT_EQ(dialogs_.ShowMessage({"Incorrect upgrade file. Please check again!", "b", ButtonSet::Yes}),
            DialogAnswer::Yes);
  EXPECT_EQ(user_.Boxes().back().buttons, QMessageBox::Yes);
}

TEST_F(QtDialogsTest, PlainBoxesHaveNoIconAndErrorsTheCriticalOneAndTextIsNotMarkup) {
  dialogs_.ShowMessage({"Read file : <b>x</b> error!"});
  dialogs_.ShowMessage({"failed", "fwupgrade", ButtonSet::Ok, BoxKind::Error});
  ASSERT_EQ(user_.Boxes().size(), 2u);
  EXPECT_EQ(user_.Boxes()[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(user_.Boxes()[0].caption, kSystemDefaultCaption);
  EXPECT_EQ(user_.Boxes()[0].format, Qt::PlainText);
  EXPECT_EQ(user_.Boxes()[0].text, "Read file : <b>x</b> error!");
  EXPECT_EQ(user_.Boxes()[1].icon, QMessageBox::Critical);
}

class ChooserTest : public QtDialogsTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    for (const char* name : {"c.bin", "a.bin", "b.exe"}) {
      QFile file(dir_.filePath(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("image");
    }
  }
  static FileChooserRequest Browse() {
    return {"(BIN Files)|*.bin|(EXE Files)|*.exe|(All Files)|*.*", true, true, true};
  }
  std::string PathOf(const char* name) const { return dir_.filePath(name).toStdString(); }

  QTemporaryDir dir_;
};

TEST_F(ChooserTest, SeveralChosenFilesComeBackInTheChoosersOrder) {
  user_.QueueFiles(dir_.path(), {"c.bin", "a.bin", "b.exe"});
  const auto chosen = dialogs_.ChooseFiles(Browse());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (std::vector<std::string>{PathOf("c.bin"), PathOf("a.bin"), PathOf("b.exe")}));
  ASSERT_EQ(user_.Choosers().size(), 1u);
  EXPECT_EQ(user_.Choosers()[0].nameFilters,
            (QStringList{"BIN Files (*.bin)", "EXE Files (*.exe)", "All Files (*)"}));
  EXPECT_EQ(user_.Choosers()[0].mode, QFileDialog::ExistingFiles);
  EXPECT_TRUE(user_.Choosers()[0].sizeGrip);
}

TEST_F(ChooserTest, CancelGivesNothingAndASingleChoiceMustExist) {
  user_.QueueFiles(dir_.path(), {});
  EXPECT_FALSE(dialogs_.ChooseFiles(Browse()).has_value());

  user_.QueueFiles(dir_.path(), {"a.bin"});
  const auto chosen = dialogs_.ChooseFiles({"(All Files)|*.*", false, true, false});
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (std::vector<std::string>{PathOf("a.bin")}));
  EXPECT_EQ(user_.Choosers().back().mode, QFileDialog::ExistingFile);
  EXPECT_FALSE(user_.Choosers().back().sizeGrip);
}

// The search window's model as the search object drives it: activation
// arms Timer1, whose tick does the work and closes the window.
class SearchDialogTest : public QtDialogsTest {
 protected:
  SearchWindowModel window_{loop_, [this] { window_.Timer1.SetEnabled(true); }, [this] { Tick(); }};
  std::function<void()> onTick_;
  int ticks_ = 0;

  void Tick() {
    ++ticks_;
    window_.Timer1.SetEnabled(false);
    if (onTick_) onTick_();
    window_.Close();
  }

  static QWidget* SearchDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == "RefreshForm") return widget;
    }
    return nullptr;
  }
};

TEST_F(SearchDialogTest, TheDialogShowsTheSearchWindowWhileItIsOpenAndReturnsWhenItClosesItself) {
  QWidget owner;
  owner.setGeometry(200, 200, 344, 378);
  owner.show();
  dialogs_.SetOwner(&owner);
  bool seen = false;
  onTick_ = [&] {
    QWidget* dialog = SearchDialog();
    ASSERT_NE(dialog, nullptr);
    seen = true;
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Searching for installed device(s)...");
    EXPECT_EQ(dialog->size(), QSize(300, 107));
    EXPECT_EQ(dialog->findChild<QLabel*>("Label1")->text(), "Searching for installed device(s)");
    EXPECT_EQ(dialog->findChild<QLabel*>("Label2")->text(), "Please Wait ...");
    EXPECT_LT((dialog->geometry().center() - owner.geometry().center()).manhattanLength(), 40);
    window_.ProgressBar1.SetPosition(60);
    EXPECT_EQ(dialog->findChild<QProgressBar*>("ProgressBar1")->value(), 60);
    dialog->close();
    EXPECT_TRUE(dialog->isVisible()) << "only the search closes its window";
  };
  dialogs_.ShowModal(window_);
  EXPECT_TRUE(seen);
  EXPECT_EQ(ticks_, 1);
  EXPECT_FALSE(window_.IsOpen());
  EXPECT_EQ(SearchDialog(), nullptr) << "the dialog goes with the modal call";
}

TEST_F(SearchDialogTest, ShowingItTwiceActivatesItTwice) {
  dialogs_.ShowModal(window_);
  dialogs_.ShowModal(window_);
  EXPECT_EQ(ticks_, 2);
}

}  // namespace
}  // namespace fwu
