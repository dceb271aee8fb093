#pragma once

#include <string>

namespace fwu {

// The security identifier of the user this process runs as, in its text
// form ("S-1-5-21-..."), or empty when it cannot be read.
std::string CurrentUserSid();

// The text form of a SID, or empty when it cannot be made.
std::string SidText(void* sid);

}  // namespace fwu
