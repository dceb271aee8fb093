#include "common_settings.h"

#include "switch_table.h"

namespace fwu {

void CommonSettings::AddSwitches(SwitchTable& table) {
  table.Add("--record", "FILE", "write one line per probe or request received to FILE",
            [this](const std::string& v) { recordPath = v; return std::string(); });
  table.Add("--help", "", "show this text",
            [this](const std::string&) { help = true; return std::string(); });
}

}  // namespace fwu
