// netprobe: the test side of the virtual LAN. Sends one discovery probe (or
// any datagram) and prints every answer as hex, or sends raw bytes over TCP
// and prints what comes back. Runs inside a namespace, never on the host.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/files.h"
#include "switch_table.h"

namespace {

using fwu::Bytes;

struct Options {
  std::string host;
  long long port = 0;
  long long fromPort = 0;
  long long waitMs = 500;
  Bytes payload;
};

std::string ParseTarget(const std::string& value, Options& options) {
  const auto colon = value.rfind(':');
  if (colon == std::string::npos || !fwu::ParseNumber(value.substr(colon + 1), 1, 65535, options.port)) {
    return "want ADDR:PORT";
  }
  options.host = value.substr(0, colon);
  return {};
}

// The probes of the upgrader's device search, byte for byte.
std::string BuildProbe(const std::string& kind, const std::string& romId, Bytes& out) {
  if (kind == "query") out = {'Q', 'D', 0, 0};
  else if (kind == "default") out = {'Q', 'Q', 0};
  else if (kind == "recovery") out = fwu::ToBytes(std::string("\0\1VN\0octet\0", 11));
  else if (kind == "boot") {
    out.assign(548, 0);
    out[0] = 0xC0;
    out[1] = 1;
    out[2] = 1;
    const std::string cut = romId.substr(0, 15);
    std::copy(cut.begin(), cut.end(), out.begin() + 108);
  } else {
    return "unknown probe " + kind;
  }
  return {};
}

std::string ParseHex(const std::string& text, Bytes& out) {
  out.clear();
  if (text.size() % 2 != 0) return "odd number of hex digits";
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &value) != 1) return "bad hex";
    out.push_back(static_cast<std::uint8_t>(value));
  }
  return {};
}

sockaddr_in Address(const std::string& host, long long port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  inet_pton(AF_INET, host.c_str(), &address.sin_addr);
  return address;
}

long long MsLeft(std::chrono::steady_clock::time_point deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
      .count();
}

int RunUdp(const Options& options) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in local = Address("0.0.0.0", options.fromPort);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return std::perror("bind"), 1;
  sockaddr_in to = Address(options.host, options.port);
  if (sendto(fd, options.payload.data(), options.payload.size(), 0, reinterpret_cast<sockaddr*>(&to),
             sizeof to) < 0) {
    return std::perror("sendto"), 1;
  }
  // Every answer within the wait is printed: the tests count duplicates.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.waitMs);
  for (long long left = options.waitMs; left > 0; left = MsLeft(deadline)) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left)) <= 0) break;
    Bytes buffer(65536);
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t got = recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (got < 0) break;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    std::printf("from %s:%u len %zd hex ", text, ntohs(from.sin_port), got);
    for (ssize_t i = 0; i < got; ++i) std::printf("%02x", buffer[i]);
    std::printf("\n");
  }
  close(fd);
  return 0;
}

// Exit status 3: the deadline passed (the router stalled or never answered).
constexpr int kTimedOut = 3;

int RunTcp(const Options& options) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in to = Address(options.host, options.port);
  if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return std::perror("connect"), 1;
  // One deadline for sending and receiving: a router that stops reading or
  // never closes must not hang the test.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.waitMs);
  std::size_t sent = 0;
  while (sent < options.payload.size()) {
    pollfd ready{fd, POLLOUT, 0};
    const long long left = MsLeft(deadline);
    if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0) return close(fd), kTimedOut;
    const ssize_t n = send(fd, options.payload.data() + sent, options.payload.size() - sent,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EAGAIN) continue;
    if (n <= 0) break;  // the router closed: print whatever it answered
    sent += static_cast<std::size_t>(n);
  }
  for (long long left = MsLeft(deadline); left > 0; left = MsLeft(deadline)) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left)) <= 0) break;
    char buffer[65536];
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return close(fd), 0;
    std::fwrite(buffer, 1, static_cast<std::size_t>(got), stdout);
  }
  close(fd);
  return kTimedOut;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string mode = argc > 1 ? argv[1] : "";
  std::string probe;
  std::string romId = "Kavlor";
  bool help = false;
  fwu::SwitchTable table;
  table.Add("--to", "ADDR:PORT", "destination", [&](const std::string& v) { return ParseTarget(v, options); });
  table.Add("--from-port", "PORT", "local port (udp)", [&](const std::string& v) {
    return fwu::ParseNumber(v, 0, 65535, options.fromPort) ? "" : std::string("bad port");
  });
  table.Add("--wait", "MS", "how long to collect answers (default 500)", [&](const std::string& v) {
    return fwu::ParseNumber(v, 1, 600000, options.waitMs) ? "" : std::string("bad time");
  });
  table.Add("--probe", "KIND", "send the search's query, boot, recovery or default probe",
            [&](const std::string& v) { probe = v; return std::string(); });
  table.Add("--romid", "TEXT", "ROM ID in the boot probe (default Kavlor)",
            [&](const std::string& v) { romId = v; return std::string(); });
  table.Add("--hex", "HEX", "send these bytes", [&](const std::string& v) { return ParseHex(v, options.payload); });
  table.Add("--text", "TEXT", "send this text (\\r\\n escapes allowed)", [&](const std::string& v) {
    std::string text;
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == 'r' || v[i + 1] == 'n')) {
        text += v[++i] == 'r' ? '\r' : '\n';
      } else {
        text += v[i];
      }
    }
    options.payload = fwu::ToBytes(text);
    return std::string();
  });
  table.Add("--file", "FILE", "send this file's bytes", [&](const std::string& v) {
    auto content = fwu::ReadWholeFile(v);
    if (!content) return "cannot read " + v;
    options.payload = *content;
    return std::string();
  });
  table.Add("--help", "", "show this text", [&](const std::string&) { help = true; return std::string(); });
  std::string error = argc > 1 ? table.Parse(std::vector<std::string>(argv + 2, argv + argc)) : "";
  if (help || (mode != "udp" && mode != "tcp")) {
    std::printf("usage: netprobe udp|tcp --to ADDR:PORT [switches]\n%s", table.HelpText().c_str());
    return help ? 0 : 2;
  }
  if (error.empty() && !probe.empty()) error = BuildProbe(probe, romId, options.payload);
  if (error.empty() && options.host.empty()) error = "--to is needed";
  if (!error.empty()) {
    std::fprintf(stderr, "netprobe: %s\n", error.c_str());
    return 2;
  }
  return mode == "udp" ? RunUdp(options) : RunTcp(options);
}
