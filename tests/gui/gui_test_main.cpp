#include <gtest/gtest.h>

#include "gui/qt/upgrade_application.h"

// One application object for every test, the program's own kind. Without a
// platform chosen the tests take the offscreen one, so they never need a
// display.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  fwu::UpgradeApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
