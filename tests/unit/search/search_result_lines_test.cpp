#include "search/search_result_lines.h"

#include <gtest/gtest.h>

namespace fwu {
namespace {

TEST(SearchResultLines, StatusWordsInBothModes) {
  struct Row {
    std::int32_t code;
    const char* full;
    const char* brief;
  };
  const std::vector<Row> rows{
      {0, "   crash", "   crash"},
      {1, "   normal", ""},
      {2, "   default", ""},
      {3, "   crash and IP unreachable", "   crash and IP unreachable"},
      {4, "   normal IP unreachable", "   IP unreachable"},
      {5, "   default IP unreachable", "   IP unreachable"},
      {6, "   unknow device", "   unknow device"},
      {-1, "   crash and IP duplicate", "   crash and IP duplicate"},
      {-2, "   normal IP duplicate", "   IP duplicate"},
      {-3, "   default IP duplicate", "   IP duplicate"},
      {-4, "   crash IP unreachable and duplicate", "   crash and IP unreachable and duplicate"},
      {-5, "   normal IP unreachable and duplicate", "   IP unreachable and duplicate"},
      {-6, "   default IP unreachable and duplicate", "   IP unreachable and duplicate"},
      {7, "  unknow error", "  unknow error"},
      {-7, "  unknow error", "  unknow error"},
      {1000, "  unknow error", "  unknow error"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(StatusWord(r.code, kSearchDetailFull), r.full) << r.code;
    EXPECT_EQ(StatusWord(r.code, kSearchDetailShort), r.brief) << r.code;
  }
}

TEST(SearchResultLines, LinesStartWithTheAddressUpToTheFirstBlank) {
  const DeviceEntry normal{1, "192.168.1.1", "QRT101", "v2.01"};
  EXPECT_EQ(ResultLine(normal, kSearchDetailFull), "192.168.1.1  QRT101 - v2.01   normal");
  EXPECT_EQ(ResultLine(normal, kSearchDetailShort), "192.168.1.1");
  const DeviceEntry crashed{3, "10.0.0.2", "$Quelby", "unknown"};
  EXPECT_EQ(ResultLine(crashed, kSearchDetailShort), "10.0.0.2   crash and IP unreachable");
  const DeviceEntry unknown{6, "10.0.0.3", "unknow module", ""};
  EXPECT_EQ(ResultLine(unknown, kSearchDetailFull), "10.0.0.3  unknow module -    unknow device");
}

TEST(SearchResultLines, DeviceCountSingularUpToOne) {
  EXPECT_EQ(DeviceCountText(0), "0 device found");
  EXPECT_EQ(DeviceCountText(1), "1 device found");
  EXPECT_EQ(DeviceCountText(2), "2 devices found");
  EXPECT_EQ(DeviceCountText(64), "64 devices found");
}

}  // namespace
}  // namespace fwu
