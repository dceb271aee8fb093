#pragma once

// winsock2.h before the IP helper headers, which need its types.
#include "platform/windows/winsock.h"

#include <iphlpapi.h>

#include <string>
#include <vector>

namespace fwu {

// The system's IPv4 adapter list, in a buffer that owns it: empty when the
// system would not give it. The list may grow between the size query and
// the read, so it asks a few times.
std::vector<unsigned char> Ipv4AdapterList(ULONG flags);

inline const IP_ADAPTER_ADDRESSES* FirstAdapter(const std::vector<unsigned char>& list) {
  return list.empty() ? nullptr : reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(list.data());
}

// The name the network settings show ("Ethernet"), not the adapter's GUID
// (which stands in when it has no other).
std::string AdapterName(const IP_ADAPTER_ADDRESSES& adapter);

}  // namespace fwu
