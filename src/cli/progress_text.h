#pragma once

#include <cstdint>
#include <string>

namespace fwu {

// One progress line: "[#####   ]  42%  1.7 MB of 4.0 MB  850.0 KB/s  3 s
// left". No rate nor time left before there is a second of data to take
// them from; ends with blanks so that it covers a longer line before it.
std::string ProgressText(int percent, std::uint64_t sent, std::uint64_t total, double seconds);

}  // namespace fwu
