#pragma once

#include <string>

namespace fwu {

class SwitchTable;

// Switches that belong to the simulator as a whole, not to one service.
struct CommonSettings {
  std::string recordPath;
  bool help = false;

  void AddSwitches(SwitchTable& table);
};

}  // namespace fwu
