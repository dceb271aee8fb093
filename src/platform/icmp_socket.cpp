#include "platform/icmp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "platform/clock.h"
#include "platform/socket_error.h"

namespace fwu {

namespace {

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::size_t kIcmpHeaderSize = 8;
constexpr std::size_t kMaxIpHeaderSize = 60;
constexpr int kNotSocket = 10038;

std::uint16_t InternetChecksum(const Bytes& data) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) sum += (data[i] << 8) | data[i + 1];
  if (data.size() % 2 != 0) sum += data.back() << 8;
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

void PutU16(Bytes& packet, std::size_t at, std::uint16_t value) {
  packet[at] = static_cast<std::uint8_t>(value >> 8);
  packet[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint16_t GetU16(const std::uint8_t* at) { return static_cast<std::uint16_t>((at[0] << 8) | at[1]); }

// Distinguishes the echoes of several instances inside one process on a raw
// socket, where every ICMP packet reaches every raw socket.
std::uint16_t NextIdentifier() {
  static std::atomic<std::uint16_t> counter{0};
  return static_cast<std::uint16_t>(getpid() * 31 + counter++);
}

}  // namespace

IcmpSocket::IcmpSocket() : identifier_(NextIdentifier()) {
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd_ < 0) {
    fd_ = socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    raw_ = fd_ >= 0;
  }
}

IcmpSocket::~IcmpSocket() {
  if (fd_ >= 0) close(fd_);
}

bool IcmpSocket::IsOurReply(const Bytes& reply, std::size_t length, Ipv4 from, Ipv4 address,
                            std::uint16_t sequence) const {
  std::size_t offset = 0;
  if (raw_) {
    if (length < 20) return false;
    offset = static_cast<std::size_t>(reply[0] & 0x0F) * 4;
  }
  if (from != address || length < offset + kIcmpHeaderSize) return false;
  const std::uint8_t* icmp = reply.data() + offset;
  if (icmp[0] != kEchoReply || GetU16(icmp + 6) != sequence) return false;
  // A ping socket's identifier is the kernel's business; it already filtered.
  return !raw_ || GetU16(icmp + 4) == identifier_;
}

EchoResult IcmpSocket::Echo(const EchoRequest& request) {
  EchoResult result;
  if (fd_ < 0) {
    result.error = kNotSocket;
    return result;
  }
  const int ttl = request.ttl;
  const int pmtu = request.dontFragment ? IP_PMTUDISC_DO : IP_PMTUDISC_DONT;
  setsockopt(fd_, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
  setsockopt(fd_, IPPROTO_IP, IP_MTU_DISCOVER, &pmtu, sizeof pmtu);

  const std::uint16_t sequence = ++sequence_;
  Bytes packet(kIcmpHeaderSize, 0);
  packet[0] = kEchoRequest;
  PutU16(packet, 4, identifier_);
  PutU16(packet, 6, sequence);
  packet.insert(packet.end(), request.payload.begin(), request.payload.end());
  PutU16(packet, 2, InternetChecksum(packet));

  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(request.address);
  if (sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
    result.error = LastSocketError();
    return result;
  }

  Bytes reply(packet.size() + kMaxIpHeaderSize);
  const std::int64_t deadline = MonotonicMs() + std::max(request.timeoutMs, 0);
  // The wait sleeps in poll(2) until a packet or the deadline; packets that
  // are not our reply (other pings, our own request on loopback) are skipped.
  for (std::int64_t left = deadline - MonotonicMs(); left >= 0; left = deadline - MonotonicMs()) {
    pollfd watch{fd_, POLLIN, 0};
    if (poll(&watch, 1, static_cast<int>(left)) <= 0) break;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n =
        recvfrom(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n < 0) continue;
    if (IsOurReply(reply, static_cast<std::size_t>(n), ntohl(from.sin_addr.s_addr), request.address, sequence)) {
      result.replies = 1;
      return result;
    }
  }
  result.error = kIcmpRequestTimedOut;
  return result;
}

}  // namespace fwu
