#include "cli/run_verdict.h"

#include <cstdio>

#include "app/upgrade_codes.h"

namespace fwu {

namespace {

std::string MethodName(std::int16_t upgradeState) {
  switch (upgradeState) {
    case state::kTftpDone: return "TFTP";
    case state::kFtpDone: return "FTP";
    default: return "HTTP";
  }
}

std::string Joined(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

std::string Fixed1(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// A box that tells the user what to do next names the trouble in its
// caption; any other says it in its first sentence.
std::string ReasonFrom(const MessageRequest& box) {
  if (box.text.starts_with("Please")) return box.caption;
  std::string reason = box.text.substr(0, box.text.find_first_of(".!"));
  while (!reason.empty() && reason.back() == ' ') reason.pop_back();
  return reason;
}

std::string FailureReason(const RunFacts& facts) {
  if (!facts.endedBy.empty()) return "ended by " + facts.endedBy;
  if (!facts.messages.empty()) return ReasonFrom(facts.messages.front());
  return facts.fallbackReason;
}

}  // namespace

std::string SizeText(std::uint64_t bytes) {
  constexpr double kKilo = 1024.0;
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < 1024 * 1024) return Fixed1(static_cast<double>(bytes) / kKilo) + " KB";
  return Fixed1(static_cast<double>(bytes) / (kKilo * kKilo)) + " MB";
}

std::string VerdictLine(const RunFacts& facts) {
  std::string line = "fwupgrade: " + (facts.address.empty() ? std::string("no router") : facts.address);
  const std::string what = facts.romDownload ? " ROM data" : "";
  if (!facts.succeeded) return line + what + " NOT " + (facts.romDownload ? "saved" : "upgraded") + ": " + FailureReason(facts);
  if (!facts.romId.empty()) line += " (" + facts.romId + ")";
  const std::string size = " (" + SizeText(facts.bytes) + ") in " + Fixed1(facts.seconds) + " s";
  if (facts.romDownload) return line + what + " saved to " + Joined(facts.fileNames) + size;
  return line + " upgraded by " + MethodName(facts.upgradeState) + " with " + Joined(facts.fileNames) + size;
}

}  // namespace fwu
