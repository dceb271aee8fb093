#pragma once

#include <string>
#include <vector>

#include "platform/ipv4_address.h"

namespace fwu {

// One network interface a LAN-wide datagram can leave by.
struct NetworkInterface {
  std::string name;
  unsigned index = 0;        // the system's number for the interface
  Ipv4 address = kAnyIpv4;   // its first IPv4 address: the source of what leaves by it
};

// Every interface that is up, can broadcast and is not the loopback, each
// once with its first IPv4 address, in the system's order. A router cabled
// to the PC is on one of them whichever holds the default route, if any.
std::vector<NetworkInterface> BroadcastInterfaces();

}  // namespace fwu
