#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/echo_service.h"

namespace fwu::testing {

// Hosts that answer echoes, and names the resolver knows, as a test says.
class FakeEchoService final : public EchoService {
 public:
  bool ready = true;
  std::set<Ipv4> answering;
  std::map<std::string, Ipv4> names;
  std::vector<EchoRequest> requests;
  std::vector<std::string> lookups;

  void Answer(const std::string& dotted) { answering.insert(*ParseDottedIpv4(dotted)); }
  std::vector<std::string> EchoedAddresses() const {
    std::vector<std::string> addresses;
    for (const EchoRequest& r : requests) addresses.push_back(FormatDottedIpv4(r.address));
    return addresses;
  }

  bool Ready() const override { return ready; }
  ResolvedHost Resolve(const std::string& host) override {
    lookups.push_back(host);
    ResolvedHost result;
    if (auto dotted = ParseDottedIpv4(host)) {
      result.address = dotted;
    } else if (auto known = names.find(host); known != names.end()) {
      result.address = known->second;
      result.canonicalName = host;
    } else {
      result.error = 11001;
    }
    return result;
  }
  EchoResult Echo(const EchoRequest& request) override {
    requests.push_back(request);
    if (answering.count(request.address) != 0) return {1, 0};
    return {0, kIcmpRequestTimedOut};
  }
};

}  // namespace fwu::testing
