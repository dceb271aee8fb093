#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fwu {

struct ResponseHead {
  std::int64_t bodyStart = 0;
  std::string error;  // empty when the head is acceptable
};

// The first chunk of a ROM response must hold a 200 status, the whole
// header and the start of the body; bodyStart is where the body begins in
// it, always inside the chunk.
ResponseHead ParseFirstChunk(std::string_view chunk);

}  // namespace fwu
