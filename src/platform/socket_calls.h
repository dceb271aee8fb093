#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The calls both socket classes make on a descriptor, each system's own,
// so that the classes themselves are written once.
namespace fwu {

struct PeerEndpoint {
  std::string address;
  std::uint16_t port = 0;
};

// What a readiness wait saw. A wait that runs out is reported, not failed:
// the callers decide what a quiet peer means.
enum class Readiness {
  Ready,
  TimedOut,
  Failed,
  // Urgent data, or (on Windows) a connection attempt that failed.
  Exceptional,
  // The system woke the wait for something other than what was asked.
  NotInSet,
  // A request to end the program came during the wait.
  Interrupted
};

enum class SocketWants { Read, Write };

// The one readiness wait of the program's sockets: up to timeoutMs (-1: no
// limit). A signal does not cut it short: the wait goes on for the time
// left, unless the signal asked the program to end, which ends the wait at
// once as Interrupted. Failed leaves the reason for LastSocketError.
Readiness WaitForSocket(int fd, SocketWants wants, int timeoutMs);

// Bytes taken or received, 0 when the peer closed (receive), -1 on failure
// with the reason for LastSocketError. A closed peer never raises a signal.
long SendOnSocket(int fd, const void* data, std::size_t length);
long ReceiveOnSocket(int fd, void* buffer, std::size_t capacity);

// The socket's own end, or its peer's.
std::optional<PeerEndpoint> LocalEndpoint(int fd);
std::optional<PeerEndpoint> PeerEndpointOf(int fd);

// Closes at once; with reset, the peer sees a reset instead of the end of
// the data, and what is still queued is dropped.
void CloseSocket(int fd);
void CloseSocketWithReset(int fd);

}  // namespace fwu
