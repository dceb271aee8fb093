#pragma once

#include <string>

#include "platform/ipv4_address.h"

namespace fwu {

// The system's resolver (hosts file, then DNS) for a name that is not a
// dotted address; ResolveHostIpv4 is the way in.
ResolvedHost LookUpHostIpv4(const std::string& host);

}  // namespace fwu
