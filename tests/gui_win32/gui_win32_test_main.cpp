#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

// The controls the program registers before its first window.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                                       ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&controls);
  return RUN_ALL_TESTS();
}
