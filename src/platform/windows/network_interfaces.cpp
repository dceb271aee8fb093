#include "platform/network_interfaces.h"

// winsock2.h before the IP helper headers, which need its types.
#include "platform/windows/winsock.h"

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <vector>

namespace fwu {

// Windows names no broadcast flag: every adapter that is up, carries IPv4
// and is neither the loopback nor a tunnel can broadcast on its link.
std::vector<NetworkInterface> BroadcastInterfaces() {
  std::vector<NetworkInterface> found;
  const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  ULONG size = 16 * 1024;
  std::vector<unsigned char> buffer;
  ULONG rc = ERROR_BUFFER_OVERFLOW;
  // The list may grow between the calls: a few tries with the size asked for.
  for (int attempt = 0; attempt < 4 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size);
    rc = GetAdaptersAddresses(AF_INET, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (rc != NO_ERROR) return found;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter != nullptr;
       adapter = adapter->Next) {
    if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK ||
        adapter->IfType == IF_TYPE_TUNNEL || adapter->IfIndex == 0) {
      continue;
    }
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr; unicast = unicast->Next) {
      if (unicast->Address.lpSockaddr == nullptr || unicast->Address.lpSockaddr->sa_family != AF_INET) continue;
      const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
      // One copy of each broadcast per adapter, from its first address.
      found.push_back({adapter->AdapterName, adapter->IfIndex, ntohl(address->sin_addr.s_addr)});
      break;
    }
  }
  return found;
}

}  // namespace fwu
