#include "discovery.h"

#include <sstream>

#include "recorder.h"
#include "switch_table.h"
#include "udp_hub.h"

namespace fwu {

namespace {

constexpr std::uint16_t kQueryPort = 9;
constexpr std::uint16_t kBootServerPort = 67;
constexpr std::uint16_t kBootClientPort = 68;
constexpr std::uint16_t kRecoveryPort = 69;

std::string ParseAnswerList(const std::string& value, std::set<ProbeKind>& kinds) {
  kinds.clear();
  std::istringstream items(value);
  std::string item;
  while (std::getline(items, item, ',')) {
    bool known = false;
    for (ProbeKind kind : {ProbeKind::Query, ProbeKind::Boot, ProbeKind::Recovery, ProbeKind::Default}) {
      if (item == ProbeKindName(kind)) {
        kinds.insert(kind);
        known = true;
      }
    }
    if (!known && !item.empty()) return "unknown probe kind " + item;
  }
  return {};
}

}  // namespace

void DiscoverySettings::AddSwitches(SwitchTable& table) {
  table.Add("--rom-id", "TEXT", "ROM ID in every discovery answer (default QRT101)",
            [this](const std::string& v) { identity.romId = v; return std::string(); });
  table.Add("--info", "TEXT", "info text in query and boot answers (default Router)",
            [this](const std::string& v) { identity.info = v; return std::string(); });
  table.Add("--crashed", "", "play a crashed router: answer the recovery probe only",
            [this](const std::string&) { crashed = true; return std::string(); });
  table.Add("--answer", "LIST",
            "probes answered, comma list of query,boot,recovery,default "
            "(default query,boot; recovery with --crashed)",
            [this](const std::string& v) {
              answerListGiven = true;
              return ParseAnswerList(v, answered);
            });
  table.Add("--malformed", "KIND",
            "answer wrongly: too-long, tag-at-0, no-zero or two-answers", [this](const std::string& v) {
              if (v == "too-long") malformation = Malformation::TooLong;
              else if (v == "tag-at-0") malformation = Malformation::TagAtZero;
              else if (v == "no-zero") malformation = Malformation::NoZero;
              else if (v == "two-answers") malformation = Malformation::TwoAnswers;
              else return "unknown kind " + v;
              return std::string();
            });
  table.Add("--boot-mark", "MARK",
            "marks of the boot answer: both (default), c1 (byte 0 = 0xC1 only), "
            "10 (byte 3 = 0x10 only) or none",
            [this](const std::string& v) {
              if (v == "both") identity.bootMark = BootMark::Both;
              else if (v == "c1") identity.bootMark = BootMark::OpC1;
              else if (v == "10") identity.bootMark = BootMark::Hops10;
              else if (v == "none") identity.bootMark = BootMark::Neither;
              else return "unknown mark " + v;
              return std::string();
            });
}

std::set<ProbeKind> DiscoverySettings::EffectiveAnswers() const {
  if (answerListGiven) return answered;
  if (crashed) return {ProbeKind::Recovery};
  return {ProbeKind::Query, ProbeKind::Boot};
}

std::string DiscoveryService::Start(ServiceContext& context) {
  answered_ = settings_.EffectiveAnswers();
  for (std::uint16_t port : {kQueryPort, kBootServerPort, kRecoveryPort}) {
    std::string error = context.udp.Listen(
        port, [this, &context](const Datagram& datagram) { return OnDatagram(context, datagram); });
    if (!error.empty()) return error;
  }
  return {};
}

bool DiscoveryService::OnDatagram(ServiceContext& context, const Datagram& datagram) {
  const auto kind = ClassifyProbe(datagram.localPort, datagram.payload);
  if (!kind) return false;
  std::string line = "probe " + ProbeKindName(*kind) + " from " + datagram.fromAddress + ":" +
                     std::to_string(datagram.fromPort) + " len " + std::to_string(datagram.payload.size());
  if (*kind == ProbeKind::Boot) line += " romid " + BootProbeRomId(datagram.payload);
  // A BOOTP server answers the client port only; anything else is no boot probe.
  const bool answerable = *kind != ProbeKind::Boot || datagram.fromPort == kBootClientPort;
  if (answered_.count(*kind) == 0 || !answerable) {
    context.record.Line(line + " unanswered");
    return true;
  }
  context.record.Line(line);
  const Bytes answer = BuildAnswer(*kind, datagram.payload, settings_.identity, settings_.malformation);
  const int copies = settings_.malformation == Malformation::TwoAnswers ? 2 : 1;
  for (int i = 0; i < copies; ++i) {
    if (!context.udp.Send(datagram.localPort, answer, datagram.fromAddress, datagram.fromPort)) {
      context.record.Line("send failed to " + datagram.fromAddress);
    }
  }
  return true;
}

}  // namespace fwu
