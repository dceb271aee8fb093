#include "gui/win32/file_chooser_text.h"

#include <gtest/gtest.h>

namespace fwu {
namespace {

TEST(FileChooserTextTest, TheBrowseFilterBecomesZeroEndedPairs) {
  EXPECT_EQ(ToWindowsFilter("(BIN Files)|*.bin|(EXE Files)|*.exe|(All Files)|*.*"),
            std::wstring(L"(BIN Files)\0*.bin\0(EXE Files)\0*.exe\0(All Files)\0*.*\0\0", 53));
  EXPECT_EQ(ToWindowsFilter("(BIN Files)|*.bin|(lonely label)"), std::wstring(L"(BIN Files)\0*.bin\0\0", 19));
}

struct ChosenCase {
  std::wstring buffer;
  std::vector<std::wstring> paths;
};

// One file comes back as its full path; several as the directory and then
// each name, in the order chosen.
TEST(FileChooserTextTest, TheChoosersAnswerBecomesFullPathsInItsOrder) {
  const ChosenCase cases[] = {
      {std::wstring(L"C:\\fw\\one.bin\0\0", 15), {L"C:\\fw\\one.bin"}},
      {std::wstring(L"C:\\fw\0two.bin\0one.bin\0\0", 23), {L"C:\\fw\\two.bin", L"C:\\fw\\one.bin"}},
      {std::wstring(L"C:\\\0a.bin\0b.exe\0\0", 17), {L"C:\\a.bin", L"C:\\b.exe"}},
      {std::wstring(L"\0\0", 2), {}},
  };
  for (const ChosenCase& c : cases) EXPECT_EQ(ChosenPaths(c.buffer), c.paths);
}

}  // namespace
}  // namespace fwu
