#include "integration/routersim_test_support.h"

#include <algorithm>
#include <sstream>

namespace fwu {

std::vector<ProbeAnswer> ParseProbeAnswers(const std::string& netprobeOutput) {
  std::vector<ProbeAnswer> answers;
  std::istringstream lines(netprobeOutput);
  std::string word;
  while (lines >> word) {
    if (word != "from") continue;
    std::string from, len, size, hex, digits;
    lines >> from >> len >> size >> hex >> digits;
    ProbeAnswer answer;
    const auto colon = from.rfind(':');
    answer.from = from.substr(0, colon);
    answer.port = std::stoi(from.substr(colon + 1));
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
      answer.bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    answers.push_back(answer);
  }
  return answers;
}

std::vector<ProbeAnswer> SendProbe(const VirtualLan& lan, const std::string& kind, const std::string& address,
                                   const std::string& extra, int waitMs) {
  const std::string port = kind == "boot" ? "67" : kind == "recovery" ? "69" : "9";
  const std::string command = VirtualLan::BinPath("netprobe") + " udp --to " + address + ":" + port +
                              " --from-port 68 --probe " + kind + " --wait " + std::to_string(waitMs) + " " +
                              extra;
  return ParseProbeAnswers(lan.RunInPc(command).out);
}

std::string TextAt(const Bytes& bytes, std::size_t offset) {
  if (offset >= bytes.size()) return {};
  const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
  return std::string(begin, std::find(begin, bytes.end(), 0));
}

}  // namespace fwu
