// Kept apart from the router's answer code: both sides name their probe
// kinds alike.
#include "client_probes.h"

#include "search/probes.h"

namespace fwu::seeds {

Bytes ClientProbe(int kind) { return BuildProbe(static_cast<ProbeKind>(kind), "Kavlor"); }

}  // namespace fwu::seeds
