#pragma once

#include <string>

namespace fwu {

// A password as the log writes it: one asterisk per character, as the
// window's password box shows it. Logs are saved, pasted into reports and
// read over shoulders; the password must not travel with them.
inline std::string MaskedPassword(const std::string& password) { return std::string(password.size(), '*'); }

}  // namespace fwu
