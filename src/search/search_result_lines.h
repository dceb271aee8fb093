#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "search/device_search.h"

namespace fwu {

// How much of an entry the device list shows: the bare address and a
// warning word (111), or everything the device said (222, log pane shown).
inline constexpr int kSearchDetailShort = 111;
inline constexpr int kSearchDetailFull = 222;

// The word after the address; empty where the short list shows none.
std::string StatusWord(std::int32_t status, int detail);
// The address first, up to the first blank: the main window reads it back.
std::string ResultLine(const DeviceEntry& entry, int detail);
std::string DeviceCountText(std::size_t count);

}  // namespace fwu
