#include "platform/host_facts.h"
#include "platform/nft_ruleset.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <ifaddrs.h>
#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fwu {
namespace {

namespace fs = std::filesystem;

std::string ReadFirstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

std::string DriverName(const std::string& interface) {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return {};
  ethtool_drvinfo info{};
  info.cmd = ETHTOOL_GDRVINFO;
  ifreq request{};
  std::strncpy(request.ifr_name, interface.c_str(), IFNAMSIZ - 1);
  request.ifr_data = reinterpret_cast<char*>(&info);
  const bool known = ioctl(fd, SIOCETHTOOL, &request) == 0;
  close(fd);
  return known ? std::string(info.driver) : std::string();
}

// Bridges and tunnels have their own entries under /sys; a veth pair shows
// only through its driver's name.
std::string VirtualKind(const std::string& interface) {
  const fs::path sys = fs::path("/sys/class/net") / interface;
  if (Exists(sys / "bridge")) return "bridge";
  if (Exists(sys / "tun_flags")) return "tun";
  if (DriverName(interface) == "veth") return "veth";
  std::error_code ignored;
  const std::string device = fs::canonical(sys, ignored).string();
  return device.find("/virtual/") != std::string::npos ? "virtual" : "";
}

std::vector<std::string> DefaultRouteInterfaces() {
  std::ifstream routes("/proc/net/route");
  std::vector<std::string> found;
  std::string line;
  std::getline(routes, line);  // the heading
  while (std::getline(routes, line)) {
    std::istringstream fields(line);
    std::string name, destination, gateway, flags, refs, use, metric, mask;
    fields >> name >> destination >> gateway >> flags >> refs >> use >> metric >> mask;
    if (destination == "00000000" && mask == "00000000") found.push_back(name);
  }
  return found;
}

int PrefixLength(const sockaddr* mask) {
  if (mask == nullptr) return 0;
  return std::popcount(ntohl(reinterpret_cast<const sockaddr_in*>(mask)->sin_addr.s_addr));
}

std::vector<InterfaceFacts> ReadInterfaces() {
  std::vector<InterfaceFacts> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    if ((i->ifa_flags & IFF_LOOPBACK) != 0) continue;
    auto facts = std::find_if(found.begin(), found.end(), [&](const auto& f) { return f.name == i->ifa_name; });
    if (facts == found.end()) {
      InterfaceFacts added;
      added.name = i->ifa_name;
      added.up = (i->ifa_flags & IFF_UP) != 0;
      added.broadcast = (i->ifa_flags & IFF_BROADCAST) != 0;
      added.carrier = (i->ifa_flags & IFF_RUNNING) != 0 &&
                      ReadFirstLine(fs::path("/sys/class/net") / i->ifa_name / "carrier") == "1";
      added.wireless = Exists(fs::path("/sys/class/net") / i->ifa_name / "wireless") ||
                       Exists(fs::path("/sys/class/net") / i->ifa_name / "phy80211");
      added.virtualKind = VirtualKind(i->ifa_name);
      found.push_back(added);
      facts = found.end() - 1;
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
    facts->addresses.push_back({ntohl(address->sin_addr.s_addr), PrefixLength(i->ifa_netmask)});
  }
  freeifaddrs(list);
  for (const auto& name : DefaultRouteInterfaces()) {
    for (auto& facts : found) facts.defaultRoute = facts.defaultRoute || facts.name == name;
  }
  return found;
}

bool CanOpen(int type, int protocol) {
  const int fd = socket(AF_INET, type, protocol);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool HasBindCapability() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("CapEff:", 0) != 0) continue;
    const unsigned long long effective = std::stoull(line.substr(7), nullptr, 16);
    constexpr unsigned kNetBindService = 10;
    return (effective >> kNetBindService & 1) != 0;
  }
  return false;
}

PortRight Port68Right() {
  if (geteuid() == 0) return PortRight::Administrator;
  if (HasBindCapability()) return PortRight::Capability;
  const std::string start = ReadFirstLine("/proc/sys/net/ipv4/ip_unprivileged_port_start");
  if (!start.empty() && std::stoi(start) <= 68) return PortRight::EveryUser;
  return PortRight::None;
}

// The owner of a socket is found by its inode among the processes' open
// descriptors; another user's processes stay unnamed unless this is root.
std::string ProcessHolding(const std::string& inode) {
  const std::string wanted = "socket:[" + inode + "]";
  std::error_code error;
  for (const auto& process : fs::directory_iterator("/proc", error)) {
    const std::string pid = process.path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    std::error_code denied;
    for (const auto& fd : fs::directory_iterator(process.path() / "fd", denied)) {
      std::error_code unreadable;
      if (fs::read_symlink(fd.path(), unreadable).string() == wanted) {
        return ReadFirstLine(process.path() / "comm") + " (pid " + pid + ")";
      }
    }
  }
  return {};
}

PortHolder UdpPortHolder(unsigned port) {
  std::ifstream table("/proc/net/udp");
  std::string line;
  std::getline(table, line);  // the heading
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
    const auto colon = local.find(':');
    if (colon == std::string::npos || std::stoul(local.substr(colon + 1), nullptr, 16) != port) continue;
    return {true, ProcessHolding(inode)};
  }
  return {};
}

std::string RunAndRead(const char* command, bool& succeeded) {
  std::string output;
  FILE* pipe = popen(command, "r");
  if (pipe == nullptr) {
    succeeded = false;
    return output;
  }
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
  succeeded = pclose(pipe) == 0;
  return output;
}

}  // namespace

HostFacts ReadHostFacts() {
  HostFacts facts;
  facts.interfaces = ReadInterfaces();
  facts.pingSockets = CanOpen(SOCK_DGRAM, IPPROTO_ICMP);
  facts.rawSockets = CanOpen(SOCK_RAW, IPPROTO_ICMP);
  std::istringstream range(ReadFirstLine("/proc/sys/net/ipv4/ping_group_range"));
  std::string low, high;
  if (range >> low >> high) facts.pingGroupRange = low + " " + high;
  facts.port68Right = Port68Right();
  facts.port68 = UdpPortHolder(68);
  facts.port69 = UdpPortHolder(69);
  bool listed = false;
  const std::string ruleset = RunAndRead("nft list ruleset 2>/dev/null", listed);
  if (listed) facts.firewall = JudgeNftRuleset(ruleset);
  return facts;
}

}  // namespace fwu
