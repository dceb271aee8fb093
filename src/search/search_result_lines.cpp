#include "search/search_result_lines.h"

namespace fwu {

namespace {

struct StatusWords {
  const char* full;
  const char* brief;
};

StatusWords WordsFor(std::int32_t status) {
  switch (status) {
    case 0: return {"   crash", "   crash"};
    case 1: return {"   normal", ""};
    case 2: return {"   default", ""};
    case 3: return {"   crash and IP unreachable", "   crash and IP unreachable"};
    case 4: return {"   normal IP unreachable", "   IP unreachable"};
    case 5: return {"   default IP unreachable", "   IP unreachable"};
    case 6: return {"   unknow device", "   unknow device"};
    case -1: return {"   crash and IP duplicate", "   crash and IP duplicate"};
    case -2: return {"   normal IP duplicate", "   IP duplicate"};
    case -3: return {"   default IP duplicate", "   IP duplicate"};
    case -4: return {"   crash IP unreachable and duplicate", "   crash and IP unreachable and duplicate"};
    case -5: return {"   normal IP unreachable and duplicate", "   IP unreachable and duplicate"};
    case -6: return {"   default IP unreachable and duplicate", "   IP unreachable and duplicate"};
    default: return {"  unknow error", "  unknow error"};
  }
}

}  // namespace

std::string StatusWord(std::int32_t status, int detail) {
  const StatusWords words = WordsFor(status);
  return detail == kSearchDetailFull ? words.full : words.brief;
}

std::string ResultLine(const DeviceEntry& entry, int detail) {
  std::string line = entry.address;
  if (detail == kSearchDetailFull) line += "  " + entry.romId + " - " + entry.info;
  return line + StatusWord(entry.status, detail);
}

std::string DeviceCountText(std::size_t count) {
  return std::to_string(count) + (count <= 1 ? " device found" : " devices found");
}

}  // namespace fwu
