// The window through a whole recovery: a crashed router picked from the
// list, files browsed, Upgrade, the success box, and a new search.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/application_control.h"
#include "app/tftp_transfer.h"
#include "app/upgrade_form.h"
#include "fake_lan.h"
#include "gui/qt/main_window.h"
#include "gui/qt/qt_dialogs.h"
#include "gui/qt/qt_event_loop.h"
#include "modal_answerer.h"
#include "notice/hidden_notice_presenter.h"
#include "support/fake_tftp_router.h"
#include "transfer/tftp_form.h"

namespace fwu {
namespace {

struct NoEnd final : ApplicationControl {
  void Terminate() override { ++terminations; }
  int terminations = 0;
};

TEST(TftpRecoveryWindowTest, CrashedRouterIsRecoveredAndTheLanSearchedAgain) {
  QTemporaryDir files;
  QFile program(files.filePath("upgrader"));
  ASSERT_TRUE(program.open(QIODevice::WriteOnly));
  program.write(QByteArray(1000, 'Z'));
  program.close();
  QFile image(files.filePath("image.bin"));
  ASSERT_TRUE(image.open(QIODevice::WriteOnly));
  const QByteArray content(3000, 'i');
  image.write(content);
  image.close();

  QtEventLoop loop;
  QtDialogs dialogs(loop);
  testing::FakeLan lan(loop);
  lan.network = {{0, "192.168.0.1", "QRT101", "crash"}};
  HiddenNoticePresenter notices;
  NoEnd application;
  testing::FakeTftpRouter router(loop);
  TTFTPForm tftpForm(loop, router, notices, dialogs);
  TftpTransfer tftp(tftpForm);
  TUpgradeForm1 form(UpgradeFormServices{loop, dialogs, lan, notices, application, &tftp}, {},
                     program.fileName().toStdString());
  MainWindow window(form);
  testing::ModalAnswerer user;

  form.FormCreate();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return lan.fullSearches == 1; }, 3000));
  user.QueueFiles(files.path(), {"image.bin"});
  QTest::mouseClick(window.findChild<QPushButton*>("Browse"), Qt::LeftButton);
  auto* upgrade = window.findChild<QPushButton*>("Upgrade");
  ASSERT_TRUE(upgrade->isEnabled());
  QTest::mouseClick(upgrade, Qt::LeftButton);

  // The router reboots for 7 s before the window says it is done.
  ASSERT_TRUE(QTest::qWaitFor([&] { return lan.fullSearches == 2; }, 15000)) << [&] {
    std::string log;
    for (const auto& line : form.Models().Memo1.Lines()) log += line + "\n";
    for (const auto& box : user.Boxes()) log += "box: " + box.caption.toStdString() + ": " + box.text.toStdString() + "\n";
    return log;
  }();
  ASSERT_FALSE(user.Boxes().empty());
  EXPECT_EQ(user.Boxes().front().caption, "Recover Success");
  EXPECT_EQ(user.Boxes().front().text, "Recover Complete !");
  ASSERT_EQ(router.files.size(), 1u);
  EXPECT_EQ(router.files[0], Bytes(content.begin(), content.end()));
  EXPECT_EQ(form.UpgradeState(), 12);
  EXPECT_EQ(application.terminations, 0) << "an attended recovery leaves the window open";
}

}  // namespace
}  // namespace fwu
