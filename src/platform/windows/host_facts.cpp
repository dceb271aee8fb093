#include "platform/host_facts.h"

#include "platform/windows/adapter_list.h"
#include "platform/windows/wide_text.h"

#include <netfw.h>
#include <psapi.h>
#include <shlobj.h>
#include <ws2tcpip.h>

#include <string>
#include <vector>

namespace fwu {
namespace {

std::vector<InterfaceFacts> ReadInterfaces() {
  std::vector<InterfaceFacts> found;
  const auto list = Ipv4AdapterList(GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER |
                                    GAA_FLAG_INCLUDE_GATEWAYS);
  for (auto* adapter = FirstAdapter(list); adapter != nullptr; adapter = adapter->Next) {
    if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    InterfaceFacts facts;
    facts.name = AdapterName(*adapter);
    facts.up = adapter->OperStatus == IfOperStatusUp;
    // Windows reports a link without its medium as not operational.
    facts.carrier = facts.up;
    facts.broadcast = adapter->IfType != IF_TYPE_TUNNEL;
    facts.wireless = adapter->IfType == IF_TYPE_IEEE80211;
    if (adapter->IfType == IF_TYPE_TUNNEL) facts.virtualKind = "tun";
    facts.defaultRoute = adapter->FirstGatewayAddress != nullptr;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr; unicast = unicast->Next) {
      if (unicast->Address.lpSockaddr == nullptr || unicast->Address.lpSockaddr->sa_family != AF_INET) continue;
      const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
      facts.addresses.push_back({ntohl(address->sin_addr.s_addr), unicast->OnLinkPrefixLength});
    }
    found.push_back(facts);
  }
  return found;
}

std::string ProcessName(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  const bool named = QueryFullProcessImageNameW(process, 0, path, &length) != 0;
  CloseHandle(process);
  if (!named) return {};
  const std::wstring full(path, length);
  const auto slash = full.find_last_of(L"\\/");
  return Narrow(full.substr(slash == std::wstring::npos ? 0 : slash + 1), InvalidText::Replace).value_or("?") + " (pid " + std::to_string(pid) + ")";
}

PortHolder UdpPortHolder(unsigned port) {
  ULONG size = 0;
  GetExtendedUdpTable(nullptr, &size, FALSE, AF_INET, UDP_TABLE_OWNER_PID, 0);
  std::vector<unsigned char> buffer(size + 1024);
  size = static_cast<ULONG>(buffer.size());
  if (GetExtendedUdpTable(buffer.data(), &size, FALSE, AF_INET, UDP_TABLE_OWNER_PID, 0) != NO_ERROR) return {};
  const auto* table = reinterpret_cast<const MIB_UDPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    if (ntohs(static_cast<u_short>(table->table[i].dwLocalPort)) == port) {
      return {true, ProcessName(table->table[i].dwOwningPid)};
    }
  }
  return {};
}

// Defined here rather than taken from a GUID library, which mingw builds
// do not all carry.
const CLSID kNetFwPolicy2 = {0xE2B3C97F, 0x6AE1, 0x41AC, {0x81, 0x7A, 0xF6, 0xF9, 0x21, 0x66, 0xD7, 0xDD}};
const IID kINetFwPolicy2 = {0x98325047, 0xC671, 0x4174, {0x8D, 0x81, 0xDE, 0xFC, 0xD3, 0xF0, 0x31, 0x86}};

FirewallFacts ReadFirewall() {
  FirewallFacts facts;
  const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  INetFwPolicy2* policy = nullptr;
  if (SUCCEEDED(CoCreateInstance(kNetFwPolicy2, nullptr, CLSCTX_INPROC_SERVER, kINetFwPolicy2,
                                 reinterpret_cast<void**>(&policy)))) {
    long profiles = 0;
    if (SUCCEEDED(policy->get_CurrentProfileTypes(&profiles))) {
      facts.readable = true;
      for (const auto profile : {NET_FW_PROFILE2_DOMAIN, NET_FW_PROFILE2_PRIVATE, NET_FW_PROFILE2_PUBLIC}) {
        VARIANT_BOOL enabled = VARIANT_FALSE;
        if ((profiles & profile) != 0 && SUCCEEDED(policy->get_FirewallEnabled(profile, &enabled))) {
          facts.enabled = facts.enabled || enabled != VARIANT_FALSE;
        }
      }
    }
    policy->Release();
  }
  if (initialised) CoUninitialize();
  return facts;
}

}  // namespace

HostFacts ReadHostFacts() {
  HostFacts facts;
  facts.windows = true;
  facts.interfaces = ReadInterfaces();
  facts.pingSockets = true;
  facts.administrator = IsUserAnAdmin() != FALSE;
  // Windows reserves no port for the administrator.
  facts.port68Right = PortRight::EveryUser;
  facts.port68 = UdpPortHolder(68);
  facts.port69 = UdpPortHolder(69);
  facts.firewall = ReadFirewall();
  return facts;
}

}  // namespace fwu
