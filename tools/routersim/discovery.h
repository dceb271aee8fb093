#pragma once

#include <set>

#include "discovery_answers.h"
#include "router_service.h"

namespace fwu {

class SwitchTable;
struct Datagram;

struct DiscoverySettings {
  RouterIdentity identity;
  bool crashed = false;
  bool answerListGiven = false;
  std::set<ProbeKind> answered;
  Malformation malformation = Malformation::None;

  void AddSwitches(SwitchTable& table);
  // The probes answered: the --answer list, else what a running (query,
  // boot) or crashed (recovery) router answers.
  std::set<ProbeKind> EffectiveAnswers() const;
};

// Answers the discovery probes on UDP 9, 67 and 69.
class DiscoveryService final : public RouterService {
 public:
  explicit DiscoveryService(const DiscoverySettings& settings) : settings_(settings) {}
  std::string Start(ServiceContext& context) override;
  // What the router answers from now on (a reboot changes it).
  void SetAnswered(std::set<ProbeKind> kinds) { answered_ = std::move(kinds); }
  void SetInfo(std::string info) { settings_.identity.info = std::move(info); }

 private:
  bool OnDatagram(ServiceContext& context, const Datagram& datagram);

  DiscoverySettings settings_;
  std::set<ProbeKind> answered_;
};

}  // namespace fwu
