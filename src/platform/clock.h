#pragma once

#include <cstdint>

namespace fwu {

// Milliseconds on a monotonic clock: only differences mean anything, and a
// change of the wall clock never makes a wait end early or last for ever.
std::int64_t MonotonicMs();

// Blocks the calling thread without spinning the CPU.
void SleepMs(std::int64_t ms);

}  // namespace fwu
