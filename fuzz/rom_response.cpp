// The head of the router's answer to a ROM fetch: the first chunk that
// receive-to-file reads decides whether, and from where, the body is saved.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "transfer/response_head.h"
#include "transfer/tcp_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view chunk(reinterpret_cast<const char*>(data),
                               std::min<std::size_t>(size, fwu::TcpLink::kChunkSize));
  const fwu::ResponseHead head = fwu::ParseFirstChunk(chunk);
  if (!head.error.empty()) {
    FUZZ_CHECK(head.bodyStart == 0);
    return 0;
  }
  // The body saved is never empty and never starts outside the chunk, and
  // only a 200 answer is saved.
  FUZZ_CHECK(head.bodyStart >= 3 && head.bodyStart < static_cast<std::int64_t>(chunk.size()));
  FUZZ_CHECK(chunk.substr(static_cast<std::size_t>(head.bodyStart) - 3, 2) == "\n\r");
  FUZZ_CHECK(chunk.find(" 200 OK") != std::string_view::npos);
  return 0;
}
