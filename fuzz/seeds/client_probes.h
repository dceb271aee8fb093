#pragma once

#include "platform/bytes.h"

namespace fwu::seeds {

// The upgrader's own probe of kind 0 (query), 1 (boot), 2 (recovery) or 3
// (default address), the order both sides number them in.
Bytes ClientProbe(int kind);

}  // namespace fwu::seeds
