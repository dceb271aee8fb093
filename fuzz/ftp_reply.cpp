// What the router's FTP server sends on the control connection: reply
// lines, fed to the line reader in pieces of any size, and the codes and
// "NNN bytes" sizes read from them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "net/ftp_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte sets how the bytes arrive: in pieces of 1 to 256.
  const std::size_t piece = static_cast<std::size_t>(data[0]) + 1;
  const std::span<const std::uint8_t> wire(data + 1, size - 1);
  fwu::ReplyLineReader reader;
  std::string seen;
  std::size_t at = 0;
  while (at < wire.size()) {
    const std::size_t taken = reader.Feed(wire.subspan(at, std::min(piece, wire.size() - at)));
    at += taken;
    while (auto line = reader.TakeLine()) {
      FUZZ_CHECK(line->ends_with('\n') || line->size() == fwu::ReplyLineReader::kCapacity);
      FUZZ_CHECK(line->size() <= fwu::ReplyLineReader::kCapacity);
      const std::int64_t code = fwu::ReplyCode(*line);
      FUZZ_CHECK(code >= 0 && code <= 9999999999LL);
      FUZZ_CHECK(!fwu::OpensMultiLineReply(*line) || !fwu::EndsMultiLineReply(*line, *line));
      const std::int64_t announced = fwu::AnnouncedSize(*line);
      FUZZ_CHECK(announced >= 0 && announced <= INT32_MAX);
      seen += *line;
    }
    FUZZ_CHECK(taken > 0 || reader.Room() == 0);
  }
  seen += reader.TakeRest();
  // Nothing is lost, doubled or reordered on the way.
  FUZZ_CHECK(seen.size() == wire.size() &&
             std::equal(seen.begin(), seen.end(), wire.begin(),
                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  return 0;
}
