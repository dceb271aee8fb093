#pragma once

#include <string_view>

#include "platform/host_facts.h"

namespace fwu {

// Reads the text `nft list ruleset` prints and says whether the input hook
// would drop what routers send back: discovery answers and TFTP
// acknowledgements (UDP to the PC, never a reply the connection tracker
// knows, since the probes go to the broadcast address) and echo replies
// (which an "established" rule lets in). Rules it cannot read count for
// nothing, so it errs towards "lets in".
FirewallFacts JudgeNftRuleset(std::string_view ruleset);

}  // namespace fwu
