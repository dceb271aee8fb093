#include "platform/network_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>

namespace fwu {

std::vector<NetworkInterface> BroadcastInterfaces() {
  std::vector<NetworkInterface> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    const unsigned flags = i->ifa_flags;
    if ((flags & IFF_UP) == 0 || (flags & IFF_BROADCAST) == 0 || (flags & IFF_LOOPBACK) != 0) continue;
    const unsigned index = if_nametoindex(i->ifa_name);
    // An interface with several addresses still gets one copy of each
    // broadcast: every further copy would be answered again by every router.
    const bool known = std::any_of(found.begin(), found.end(), [&](const auto& f) { return f.index == index; });
    if (index == 0 || known) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
    found.push_back({i->ifa_name, index, ntohl(address->sin_addr.s_addr)});
  }
  freeifaddrs(list);
  return found;
}

}  // namespace fwu
