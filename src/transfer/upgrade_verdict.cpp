#include "transfer/upgrade_verdict.h"

#include <array>
#include <utility>

#include "transfer/answer_scan.h"

namespace fwu {
namespace {

constexpr const char* kSuccess = "Upgrade Successfully";
constexpr const char* kUnexpected = "Unexpect receive data";

// Status codes a reply without a verdict may carry, tried in this order.
constexpr std::array<std::pair<const char*, const char*>, 5> kUnexpectedStatus{{
    {" 301 ", "Unexpect remove port request"},
    {" 400 ", "Unexpect Bad request"},
    {" 404 ", "Unexpect NO CGI Found"},
    {" 501 ", "Unexpect NOT support HTTP Upgrade"},
    {" 503 ", "Unexpect upgrade Not Complete error"},
}};

UpgradeVerdict JudgeCasCode(const std::string& code) {
  if (code == "8000") return {1, "Upgrade success in New version", kSuccess, "Upgrade Success"};
  if (code == "8001") return {-1, "Upgrade failure in New version", "Upgrade failure", "Upgrade failure"};
  if (code == "8002") {
    return {-1, "Unallowable upgrade file", "Unallowable upgrade file", "Unallowable upgrade file"};
  }
  return {-1, "unknow error code : " + code, "unknow error code " + code, "Upgrade failure"};
}

}  // namespace

std::string AlertMessage(std::string_view reply) {
  // The message starts after `alert("` and is never taken past offset 29.
  constexpr std::size_t kFirst = 7, kLast = 29;
  const auto alert = reply.find("alert");
  if (alert == std::string_view::npos) return {};
  const std::string_view tail = reply.substr(alert);
  if (tail.size() <= kFirst) return {};
  const std::string_view window = tail.substr(kFirst, kLast - kFirst + 1);
  // The router's own words become the failure text the user is shown.
  return PrintableText(window.substr(0, window.find('"')));
}

UpgradeVerdict JudgeUpgradeReply(std::string_view reply) {
  if (HasCasTag(reply)) return JudgeCasCode(CasCode(reply));
  if (Contains(reply, " 200 OK")) {
    if (Contains(reply, "alert")) {
      return {-1, "Upgrade failure with no CAS tag", AlertMessage(reply), "Upgrade Failure"};
    }
    return {1, "Upgrade Complete in with no CAS tag", kSuccess, "Upgrade Success"};
  }
  for (const auto& [status, logLine] : kUnexpectedStatus) {
    if (Contains(reply, status)) return {-1, logLine, kUnexpected, std::nullopt};
  }
  return {-1, "Unknow Error in check upgrade result", kUnexpected, std::nullopt};
}

}  // namespace fwu
