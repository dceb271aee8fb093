#include "platform/network_interfaces.h"

#include "platform/windows/adapter_list.h"

#include <ws2tcpip.h>

#include <vector>

namespace fwu {

// Windows names no broadcast flag: every adapter that is up, carries IPv4
// and is neither the loopback nor a tunnel can broadcast on its link.
std::vector<NetworkInterface> BroadcastInterfaces() {
  std::vector<NetworkInterface> found;
  const auto list = Ipv4AdapterList(GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER);
  for (auto* adapter = FirstAdapter(list); adapter != nullptr; adapter = adapter->Next) {
    if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK ||
        adapter->IfType == IF_TYPE_TUNNEL || adapter->IfIndex == 0) {
      continue;
    }
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr; unicast = unicast->Next) {
      if (unicast->Address.lpSockaddr == nullptr || unicast->Address.lpSockaddr->sa_family != AF_INET) continue;
      const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
      // One copy of each broadcast per adapter, from its first address.
      found.push_back({AdapterName(*adapter), adapter->IfIndex, ntohl(address->sin_addr.s_addr)});
      break;
    }
  }
  return found;
}

}  // namespace fwu
