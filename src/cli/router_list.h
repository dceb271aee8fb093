#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/device_search.h"

namespace fwu {

// One router as the console lists it: the search's entries for one address
// folded into one, since a running router answers both the query and the
// boot probe and would otherwise read like an address conflict.
struct ListedRouter {
  std::string address;
  std::string kind;  // running, crashed, factory default, no echo, unknown
  std::int32_t status = 0;  // the first entry's status code
  std::string romId;
  std::string info;
};

// The entries folded by address, in the order each address first appears.
std::vector<ListedRouter> FoldedRouters(const std::vector<DeviceEntry>& entries);

// Numbered lines in aligned columns: address, kind, ROM ID, info.
std::vector<std::string> RouterListLines(const std::vector<ListedRouter>& routers);
// "4 routers found".
std::string RouterCountText(std::size_t count);
// A JSON array of {address, kind, status, rom_id, info}.
std::string RouterListJson(const std::vector<ListedRouter>& routers);

}  // namespace fwu
