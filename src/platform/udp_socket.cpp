#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/socket_address.h"
#include "platform/socket_error.h"

namespace fwu {

UdpSocket::~UdpSocket() { Close(); }

int UdpSocket::Fail() {
  const int saved = errno;
  lastDescription_ = std::strerror(saved);
  return WinsockErrorFromErrno(saved);
}

int UdpSocket::Create() {
  if (fd_ >= 0) return WinsockErrorFromErrno(EISCONN);
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
  return fd_ < 0 ? Fail() : 0;
}

int UdpSocket::Bind(const Ipv4Endpoint& local) {
  const sockaddr_in raw = ToSockaddr(local);
  return bind(fd_, reinterpret_cast<const sockaddr*>(&raw), sizeof raw) != 0 ? Fail() : 0;
}

int UdpSocket::BoundPort(std::uint16_t& port) {
  sockaddr_in raw{};
  socklen_t length = sizeof raw;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&raw), &length) != 0) return Fail();
  port = ntohs(raw.sin_port);
  return 0;
}

int UdpSocket::EnableBroadcast() {
  const int on = 1;
  return setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ? Fail() : 0;
}

bool UdpSocket::BroadcastEnabled() const {
  int on = 0;
  socklen_t length = sizeof on;
  return getsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, &length) == 0 && on != 0;
}

int UdpSocket::SendTo(const Ipv4Endpoint& to, std::span<const std::uint8_t> data, std::size_t& sent) {
  const sockaddr_in raw = ToSockaddr(to);
  const ssize_t n =
      sendto(fd_, data.data(), data.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&raw), sizeof raw);
  if (n < 0) return Fail();
  sent = static_cast<std::size_t>(n);
  return 0;
}

int UdpSocket::SendToVia(const Ipv4Endpoint& to, const NetworkInterface& via, std::span<const std::uint8_t> data,
                         std::size_t& sent) {
  sockaddr_in raw = ToSockaddr(to);
  iovec part{const_cast<std::uint8_t*>(data.data()), data.size()};
  // The interface and source go with the datagram (IP_PKTINFO) rather than
  // with the socket: no privilege is needed, and the one socket bound to the
  // any-address still receives every answer on every interface.
  alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  msghdr message{};
  message.msg_name = &raw;
  message.msg_namelen = sizeof raw;
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = IPPROTO_IP;
  header->cmsg_type = IP_PKTINFO;
  header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
  in_pktinfo info{};
  info.ipi_ifindex = static_cast<int>(via.index);
  info.ipi_spec_dst.s_addr = htonl(via.address);
  std::memcpy(CMSG_DATA(header), &info, sizeof info);
  const ssize_t n = sendmsg(fd_, &message, MSG_NOSIGNAL);
  if (n < 0) return Fail();
  sent = static_cast<std::size_t>(n);
  return 0;
}

int UdpSocket::ReceiveFrom(std::span<std::uint8_t> buffer, std::size_t& received, Ipv4Endpoint& sender) {
  sockaddr_in from{};
  iovec part{buffer.data(), buffer.size()};
  msghdr message{};
  message.msg_name = &from;
  message.msg_namelen = sizeof from;
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  // MSG_TRUNC makes the kernel report the datagram's real length, so an
  // oversized one is recognised (and, as on every datagram read, consumed).
  const ssize_t n = recvmsg(fd_, &message, MSG_TRUNC | MSG_DONTWAIT);
  if (n < 0) return Fail();
  sender.address = ntohl(from.sin_addr.s_addr);
  sender.port = ntohs(from.sin_port);
  if (static_cast<std::size_t>(n) > buffer.size()) {
    errno = EMSGSIZE;
    return Fail();
  }
  received = static_cast<std::size_t>(n);
  return 0;
}

void UdpSocket::Close() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
}

}  // namespace fwu
