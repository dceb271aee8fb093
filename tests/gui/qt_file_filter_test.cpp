#include "gui/qt/qt_file_filter.h"

#include <gtest/gtest.h>

namespace fwu {
namespace {

TEST(QtFileFilter, TheBrowseFilterBecomesThreeQtFiltersWithPosixPatterns) {
  const QStringList filters = ToQtNameFilters("(BIN Files)|*.bin|(EXE Files)|*.exe|(All Files)|*.*");
  EXPECT_EQ(filters, (QStringList{"BIN Files (*.bin)", "EXE Files (*.exe)", "All Files (*)"}));
}

TEST(QtFileFilter, SeveralPatternsAndUnbracketedLabelsAreKept) {
  EXPECT_EQ(ToQtNameFilters("Images|*.bin;*.img|(All)|*.*;*.txt"),
            (QStringList{"Images (*.bin *.img)", "All (* *.txt)"}));
}

TEST(QtFileFilter, ALabelWithoutPatternAndAnEmptyFilterGiveNothing) {
  EXPECT_EQ(ToQtNameFilters("(BIN Files)|*.bin|(Dangling)"), (QStringList{"BIN Files (*.bin)"}));
  EXPECT_TRUE(ToQtNameFilters("").isEmpty());
}

}  // namespace
}  // namespace fwu
