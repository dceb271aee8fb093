#include "platform/nft_ruleset.h"

#include <sstream>
#include <string>

namespace fwu {
namespace {

bool Has(std::string_view line, std::string_view word) { return line.find(word) != std::string_view::npos; }

bool Drops(std::string_view rule) { return Has(rule, " drop") || rule.starts_with("drop") || Has(rule, "reject"); }

bool MentionsUdp(std::string_view rule) {
  return rule.starts_with("udp ") || Has(rule, " udp ") || Has(rule, "l4proto udp");
}

// A UDP rule limited to a port other than the boot probe's leaves the
// routers' answers alone.
bool HitsRouterAnswers(std::string_view rule) { return !Has(rule, "dport") || Has(rule, "dport 68"); }

struct InputChain {
  bool policyDrop = false;
  bool acceptsUdp = false;
  bool acceptsIcmp = false;
  bool acceptsEstablished = false;
};

}  // namespace

FirewallFacts JudgeNftRuleset(std::string_view ruleset) {
  FirewallFacts facts;
  facts.readable = true;
  std::istringstream lines{std::string(ruleset)};
  std::string text;
  bool inInput = false;
  InputChain chain;
  while (std::getline(lines, text)) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) continue;
    const std::string_view line = std::string_view(text).substr(begin);
    if (line.starts_with("chain ")) {
      inInput = false;
      chain = {};
    } else if (Has(line, "hook input")) {
      inInput = true;
      chain.policyDrop = Has(line, "policy drop");
    } else if (line == "}" && inInput) {
      facts.dropsUdp = facts.dropsUdp || (chain.policyDrop && !chain.acceptsUdp);
      facts.dropsEchoReplies =
          facts.dropsEchoReplies || (chain.policyDrop && !chain.acceptsIcmp && !chain.acceptsEstablished);
      inInput = false;
    } else if (inInput) {
      const bool accepts = line.ends_with("accept");
      if (Has(line, "ct state") && Has(line, "established") && accepts) chain.acceptsEstablished = true;
      if (MentionsUdp(line) && accepts) chain.acceptsUdp = true;
      if (Has(line, "icmp") && accepts) chain.acceptsIcmp = true;
      if (MentionsUdp(line) && Drops(line) && HitsRouterAnswers(line)) facts.dropsUdp = true;
      if (Has(line, "icmp") && Drops(line) && (Has(line, "echo-reply") || !Has(line, "type"))) {
        facts.dropsEchoReplies = true;
      }
    }
  }
  return facts;
}

}  // namespace fwu
