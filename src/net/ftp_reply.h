#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace fwu {

// The FTP server's reply lines, parsed from bytes so that tests and fuzz
// targets reach them without a socket.

// Collects control-connection bytes and hands out whole lines, each with
// its line feed. A line that grows past the buffer's capacity without a
// line feed is handed out as it stands, so a server that never ends its
// line cannot make the client hold unbounded memory.
class ReplyLineReader {
 public:
  static constexpr std::size_t kCapacity = 65536;

  // How many bytes Feed will take now (the rest waits for TakeLine).
  std::size_t Room() const { return kCapacity - buffer_.size(); }
  // Takes at most Room() bytes; returns how many it took.
  std::size_t Feed(std::span<const std::uint8_t> bytes);
  std::optional<std::string> TakeLine();
  // Whatever is left, line end or not (the server closed after it).
  std::string TakeRest() { return std::exchange(buffer_, {}); }
  bool Empty() const { return buffer_.empty(); }
  void Clear() { buffer_.clear(); }

 private:
  std::string buffer_;
};

// The decimal value of a line's leading digits (at most ten of them), or 0
// when it has none. Kept wide so that no long number wraps into a code the
// client acts on.
std::int64_t ReplyCode(std::string_view line);

// A reply line without its line end: the text of a refusal.
std::string WithoutLineEnd(std::string line);

// The reply ranges the client acts on. A transfer command (PORT, STOR,
// RETR) or QUIT fails on 301 to 599, a login step (USER, PASS) on 401 to
// 599; a transfer is complete only on a final reply from 200 to 299.
bool IsFailingReply(std::int64_t code);
bool IsRefusedLogin(std::int64_t code);
bool IsCompletion(std::int64_t code);

// A reply of several lines (RFC 959) opens with its code and "-", and ends
// only at a line that starts with the same code and a blank. The lines in
// between may have any shape, codes and blanks of their own included.
bool OpensMultiLineReply(std::string_view first);
bool EndsMultiLineReply(std::string_view first, std::string_view line);

// The number written just before the word "bytes" (in any case) in a
// transfer reply, "150 Opening data connection (512 bytes)"; 0 when there
// is none or it does not fit 32 bits.
std::int64_t AnnouncedSize(std::string_view text);

// The argument of PORT for an IPv4 address and port: "h1,h2,h3,h4,p1,p2";
// empty when the address is not dotted IPv4.
std::string PortArgument(const std::string& dottedAddress, std::uint16_t port);

}  // namespace fwu
