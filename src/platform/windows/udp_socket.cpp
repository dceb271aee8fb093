#include "platform/udp_socket.h"

#include <mswsock.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/socket_address.h"
#include "platform/windows/winsock.h"

namespace fwu {

UdpSocket::~UdpSocket() { Close(); }

int UdpSocket::Fail() {
  const int error = WSAGetLastError();
  lastDescription_ = SystemErrorText(static_cast<unsigned long>(error));
  return error;
}

int UdpSocket::Create() {
  if (fd_ >= 0) return WSAEISCONN;
  EnsureWinsock();
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return Fail();
  fd_ = FromSocket(s);
  u_long nonBlocking = 1;
  if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
    const int error = Fail();
    Close();
    return error;
  }
  // Windows turns an ICMP "port unreachable" for an earlier datagram into a
  // reset on the next read; a search sends to many silent ports, so that
  // report only gets in the way.
  BOOL report = FALSE;
  DWORD returned = 0;
  WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
  // SendToVia names the interface in the datagram, which is documented for
  // sockets with this option on.
  const DWORD packetInfo = TRUE;
  setsockopt(s, IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&packetInfo), sizeof packetInfo);
  return 0;
}

int UdpSocket::Bind(const Ipv4Endpoint& local) {
  const sockaddr_in raw = ToSockaddr(local);
  return bind(ToSocket(fd_), reinterpret_cast<const sockaddr*>(&raw), sizeof raw) != 0 ? Fail() : 0;
}

int UdpSocket::BoundPort(std::uint16_t& port) {
  sockaddr_in raw{};
  int length = sizeof raw;
  if (getsockname(ToSocket(fd_), reinterpret_cast<sockaddr*>(&raw), &length) != 0) return Fail();
  port = ntohs(raw.sin_port);
  return 0;
}

int UdpSocket::EnableBroadcast() {
  const BOOL on = TRUE;
  return setsockopt(ToSocket(fd_), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0
             ? Fail()
             : 0;
}

bool UdpSocket::BroadcastEnabled() const {
  BOOL on = FALSE;
  int length = sizeof on;
  return getsockopt(ToSocket(fd_), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char*>(&on), &length) == 0 && on;
}

int UdpSocket::SendTo(const Ipv4Endpoint& to, std::span<const std::uint8_t> data, std::size_t& sent) {
  const sockaddr_in raw = ToSockaddr(to);
  const int n = sendto(ToSocket(fd_), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), 0,
                       reinterpret_cast<const sockaddr*>(&raw), sizeof raw);
  if (n == SOCKET_ERROR) return Fail();
  sent = static_cast<std::size_t>(n);
  return 0;
}

// The interface and source go with the datagram (IP_PKTINFO) rather than
// with the socket, so the one socket bound to the any-address still
// receives every answer on every interface.
int UdpSocket::SendToVia(const Ipv4Endpoint& to, const NetworkInterface& via, std::span<const std::uint8_t> data,
                         std::size_t& sent) {
  sockaddr_in raw = ToSockaddr(to);
  WSABUF part{static_cast<ULONG>(data.size()), reinterpret_cast<char*>(const_cast<std::uint8_t*>(data.data()))};
  alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
  WSAMSG message{};
  message.name = reinterpret_cast<sockaddr*>(&raw);
  message.namelen = sizeof raw;
  message.lpBuffers = &part;
  message.dwBufferCount = 1;
  message.Control = WSABUF{sizeof control, control};
  WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(&message);
  header->cmsg_level = IPPROTO_IP;
  header->cmsg_type = IP_PKTINFO;
  header->cmsg_len = WSA_CMSG_LEN(sizeof(IN_PKTINFO));
  IN_PKTINFO info{};
  info.ipi_ifindex = via.index;
  info.ipi_addr.s_addr = htonl(via.address);
  std::memcpy(WSA_CMSG_DATA(header), &info, sizeof info);
  DWORD n = 0;
  if (WSASendMsg(ToSocket(fd_), &message, 0, &n, nullptr, nullptr) == SOCKET_ERROR) return Fail();
  sent = n;
  return 0;
}

// A datagram larger than the buffer fails with WSAEMSGSIZE and is gone,
// which is what the interface promises.
int UdpSocket::ReceiveFrom(std::span<std::uint8_t> buffer, std::size_t& received, Ipv4Endpoint& sender) {
  sockaddr_in from{};
  int fromLength = sizeof from;
  const int n = recvfrom(ToSocket(fd_), reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0,
                         reinterpret_cast<sockaddr*>(&from), &fromLength);
  sender.address = ntohl(from.sin_addr.s_addr);
  sender.port = ntohs(from.sin_port);
  if (n == SOCKET_ERROR) return Fail();
  received = static_cast<std::size_t>(n);
  return 0;
}

void UdpSocket::Close() {
  if (fd_ < 0) return;
  closesocket(ToSocket(fd_));
  fd_ = -1;
}

}  // namespace fwu
