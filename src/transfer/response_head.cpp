#include "transfer/response_head.h"

namespace fwu {

ResponseHead ParseFirstChunk(std::string_view chunk) {
  if (chunk.find(" 200 OK") == std::string_view::npos) {
    return {0, chunk.find(" 400 ") != std::string_view::npos ? "Bad Request !" : "unknown response error code !"};
  }
  // The header ends at LF CR LF; the body starts after it.
  const auto end = chunk.find("\n\r");
  if (end == std::string_view::npos) return {0, "HTTP header parse error !"};
  const auto bodyStart = static_cast<std::int64_t>(end) + 3;
  if (bodyStart >= static_cast<std::int64_t>(chunk.size())) return {0, "HTTP header parse length error !"};
  return {bodyStart, {}};
}

}  // namespace fwu
