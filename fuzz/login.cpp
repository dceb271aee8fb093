// The router's answers to the web login: the login page, its redirect port
// and the index page's verdict. The input is the router's side of one
// login: its answers in turn, split at each 0xFF byte; an empty answer is a
// connection the router closed without a word, and once the answers run out
// it refuses connections. The first byte picks the upgrade method before the
// login (HTTP, or HTTP after a failed FTP).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/login_router.h"
#include "app/upgrade_codes.h"
#include "fuzz_check.h"
#include "ui/log_sink.h"

namespace {

class ScriptedRouter final : public fwu::WebExchange {
 public:
  explicit ScriptedRouter(std::string_view script) {
    for (std::size_t start = 0;;) {
      const std::size_t end = script.find('\xff', start);
      answers_.push_back(script.substr(start, end == std::string_view::npos ? end : end - start));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  }

  Answer Exchange(std::string_view request, std::uint16_t port) override {
    requests_.emplace_back(request);
    ports_.push_back(port);
    if (next_ == answers_.size()) return {Answer::Outcome::NotSent, {}, "connection refused"};
    const std::string_view answer = answers_[next_++];
    if (answer.empty()) return {Answer::Outcome::NotReceived, {}, "Read Data error!"};
    return {Answer::Outcome::Answered, answer, {}};
  }

  const std::vector<std::string>& Requests() const { return requests_; }
  const std::vector<std::uint16_t>& Ports() const { return ports_; }

 private:
  std::vector<std::string_view> answers_;
  std::size_t next_ = 0;
  std::vector<std::string> requests_;
  std::vector<std::uint16_t> ports_;
};

class CheckedLog final : public fwu::LogSink {
 public:
  void AddLine(const std::string& line) override {
    FUZZ_CHECK(fuzz::Printable(line));
    ++lines;
  }
  std::size_t lines = 0;
};

bool IsLoginCode(int result) {
  using namespace fwu::login;
  for (const int code : {kPasswordRefused, kNoAnswer, kNotSent, kBadRedirect, kBadIndexRequest, kNoCgi}) {
    if (result == code) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint16_t methodBefore = (data[0] & 1) ? fwu::method::kHttpAfterFtp : fwu::method::kHttp;
  ScriptedRouter router(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::uint16_t method = methodBefore;
  CheckedLog log;
  const int result = fwu::LoginRouter(router, "admin", method, log);

  FUZZ_CHECK(IsLoginCode(result) || (result >= 1 && result <= 65535));
  FUZZ_CHECK(log.lines > 0);
  // However the router answers, the login ends: a first login, its redirects,
  // one retry after "not found", and the index page.
  const auto& requests = router.Requests();
  FUZZ_CHECK(!requests.empty() && requests.size() <= fwu::kMaxLoginRedirects + 3);
  for (std::size_t i = 0; i + 1 < requests.size(); ++i) FUZZ_CHECK(requests[i].rfind("GET /cgi-bin/logi?", 0) == 0);
  // A port is only ever the one the exchanges ended on.
  if (result > 0) {
    FUZZ_CHECK(requests.back() == fwu::IndexRequest());
    FUZZ_CHECK(result == router.Ports().back());
  }
  FUZZ_CHECK(method == methodBefore || method == fwu::method::kHttp || method == fwu::method::kFtp);
  return 0;
}
