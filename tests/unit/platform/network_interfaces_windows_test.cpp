// The adapters the search broadcasts on, checked against the system's
// older address table, which names every IPv4 address with its adapter.
#include <gtest/gtest.h>

#include "platform/windows/winsock.h"

#include <iphlpapi.h>

#include <map>
#include <set>
#include <vector>

#include "platform/network_interfaces.h"

namespace fwu {
namespace {

bool CanBroadcast(DWORD index) {
  MIB_IFROW row{};
  row.dwIndex = index;
  if (GetIfEntry(&row) != NO_ERROR) return false;
  const bool up = row.dwOperStatus == IF_OPER_STATUS_OPERATIONAL || row.dwOperStatus == IF_OPER_STATUS_CONNECTED;
  return up && row.dwType != IF_TYPE_SOFTWARE_LOOPBACK && row.dwType != IF_TYPE_TUNNEL;
}

// Adapter number -> its IPv4 addresses in host order, for every adapter
// that is up and neither the loopback nor a tunnel.
std::map<unsigned, std::set<Ipv4>> AddressesByAdapter() {
  ULONG size = 0;
  GetIpAddrTable(nullptr, &size, FALSE);
  std::vector<unsigned char> buffer(size);
  auto* table = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
  std::map<unsigned, std::set<Ipv4>> addresses;
  if (size == 0 || GetIpAddrTable(table, &size, FALSE) != NO_ERROR) return addresses;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_IPADDRROW& row = table->table[i];
    if (CanBroadcast(row.dwIndex)) addresses[row.dwIndex].insert(ntohl(row.dwAddr));
  }
  return addresses;
}

TEST(BroadcastInterfacesWindows, EachAdapterThatCanBroadcastOnceWithOneOfItsOwnAddresses) {
  const auto expected = AddressesByAdapter();
  std::set<unsigned> seen;
  for (const NetworkInterface& found : BroadcastInterfaces()) {
    EXPECT_FALSE(found.name.empty());
    EXPECT_TRUE(seen.insert(found.index).second) << "adapter " << found.index << " listed twice";
    const auto addresses = expected.find(found.index);
    ASSERT_NE(addresses, expected.end()) << "adapter " << found.index << " cannot broadcast";
    EXPECT_EQ(addresses->second.count(found.address), 1u)
        << FormatDottedIpv4(found.address) << " is not an address of adapter " << found.index;
  }
  EXPECT_EQ(seen.size(), expected.size());
}

}  // namespace
}  // namespace fwu
