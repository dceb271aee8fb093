#include "gui/qt/upgrade_application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QTest>
#include <QTimer>
#include <stdexcept>
#include <vector>

namespace fwu {
namespace {

class UpgradeApplicationTest : public ::testing::Test {
 protected:
  UpgradeApplicationTest() : application_(*static_cast<UpgradeApplication*>(QCoreApplication::instance())) {
    application_.SetExceptionBox([this](const std::string& what) { shown_.push_back(what); });
  }
  ~UpgradeApplicationTest() override { application_.SetExceptionBox(nullptr); }

  UpgradeApplication& application_;
  std::vector<std::string> shown_;
};

TEST_F(UpgradeApplicationTest, AnExceptionLeavingAHandlerIsShownAndTheProgramGoesOn) {
  bool laterEventRan = false;
  QTimer::singleShot(0, [] { throw std::runtime_error("Socket Error # 10054"); });
  QTimer::singleShot(10, [&] { laterEventRan = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return laterEventRan; }, 2000));
  EXPECT_EQ(shown_, (std::vector<std::string>{"Socket Error # 10054"}));
}

// Every window gets the program's icon, drawn from the one SVG.
TEST_F(UpgradeApplicationTest, TheWindowsCarryTheProgramsIcon) {
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixmap(256).width(), 256);
}

}  // namespace
}  // namespace fwu
