// The router's reply to an upgrade POST, as much of it as the reply buffer
// holds: its "--CAS" code, its status code or the message of its alert.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/printable_text.h"
#include "transfer/http_client.h"
#include "transfer/upgrade_verdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The reply buffer keeps room for its terminating 0.
  const std::size_t longest = static_cast<std::size_t>(fwu::HttpClient::kReplyCapacity) - 2;
  const std::string_view reply(reinterpret_cast<const char*>(data), std::min(size, longest));
  const fwu::UpgradeVerdict verdict = fwu::JudgeUpgradeReply(reply);
  FUZZ_CHECK(verdict.result == 1 || verdict.result == -1);
  FUZZ_CHECK(!verdict.logLine.empty() && fuzz::Printable(verdict.logLine) && fuzz::Printable(verdict.resultText));
  FUZZ_CHECK(!verdict.status || fuzz::Printable(*verdict.status));
  // A success is only ever the code 8000 or a plain page without an alert.
  if (verdict.result == 1) FUZZ_CHECK(verdict.resultText == "Upgrade Successfully");
  const std::string alert = fwu::AlertMessage(reply);
  FUZZ_CHECK(alert.size() <= 23 && alert.find('"') == std::string::npos);
  FUZZ_CHECK(fuzz::Printable(alert) && fwu::PrintableText(reply).find(alert) != std::string::npos);
  return 0;
}
