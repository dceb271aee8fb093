#include "app/login_router.h"

#include <charconv>
#include <vector>

#include "app/upgrade_codes.h"
#include "platform/printable_text.h"
#include "transfer/answer_scan.h"
#include "transfer/http_client.h"
#include "ui/log_sink.h"

namespace fwu {
namespace {

constexpr std::size_t kQueryCapacity = 1024;
constexpr std::size_t kRequestCapacity = 1460;
constexpr std::int64_t kResponseCapacity = 35160;
constexpr const char* kSecondTry = "rd=begin";

constexpr std::string_view kRequestTail =
    "Accept-Language: zh-tw\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept-Encoding: gzip, "
    "deflate\r\nUser-Agent: Mozilla/4.0 (Compatible; MSIE 5.0; Windows 98; DigExt)\r\nConnection: "
    "Keep-Alive\r\n\r\n";

// The port text of a redirect: after the first ':' that a digit from 1 to
// 8 follows, up to the line's end. Nothing when no ':' qualifies.
std::optional<std::string_view> RedirectPortText(std::string_view answer) {
  for (std::size_t i = 0; i + 1 < answer.size(); ++i) {
    if (answer[i] == ':' && answer[i + 1] >= '1' && answer[i + 1] <= '8') {
      const std::string_view rest = answer.substr(i + 1);
      return rest.substr(0, rest.find('\r'));
    }
  }
  return std::nullopt;
}

// Only plain decimal digits naming a real port count; anything else (a
// path after the number, a value past 65535) is a bad redirect.
std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// Log lines of one kind of exchange.
struct ExchangeTexts {
  const char* sendFailed;
  const char* sent;
  const char* receiveFailed;
};
constexpr ExchangeTexts kLoginTexts{"send login PKT error", "send login PKT success",
                                    "receive response error in send login PKT"};
constexpr ExchangeTexts kIndexTexts{"send index PKT error", "send index PKT success",
                                    "receive response error in send index"};

// The router's web server over real connections: one HttpClient each.
class HttpWebExchange final : public WebExchange {
 public:
  explicit HttpWebExchange(const std::string& address) : address_(address) {}

  Answer Exchange(std::string_view request, std::uint16_t port) override {
    HttpClient client;
    if (client.SendRequest(request, address_, port) < 0) return {Answer::Outcome::NotSent, {}, client.ResultText()};
    const std::int64_t count = client.ReceiveResponse(response_.data(), kResponseCapacity);
    if (count < 0) return {Answer::Outcome::NotReceived, {}, client.ResultText()};
    return {Answer::Outcome::Answered, std::string_view(response_.data(), static_cast<std::size_t>(count)), {}};
  }

 private:
  const std::string& address_;
  std::vector<char> response_ = std::vector<char>(kResponseCapacity, '\0');
};

class LoginSession {
 public:
  LoginSession(WebExchange& web, const std::string& password, std::uint16_t& upgradeMethod, LogSink& log,
               std::uint16_t port)
      : web_(web), password_(password), upgradeMethod_(upgradeMethod), log_(log), port_(port) {}

  int LoginPhase();

 private:
  int IndexPhase();
  int Verdict(std::string_view index);
  // The answer to one request, or the result code of a failed exchange.
  struct Answer {
    std::string_view text;
    int failure = 0;
  };
  Answer Exchange(std::string_view request, const ExchangeTexts& texts);
  // Every outcome of the login goes to the log with its line.
  int Finish(const std::string& line, int result) {
    log_.AddLine(line);
    return result;
  }

  WebExchange& web_;
  const std::string& password_;
  std::uint16_t& upgradeMethod_;
  LogSink& log_;
  std::uint16_t port_;
  std::string secondLine_;
  bool alert_ = false;
  int redirects_ = 0;
};

LoginSession::Answer LoginSession::Exchange(std::string_view request, const ExchangeTexts& texts) {
  const WebExchange::Answer answer = web_.Exchange(request, port_);
  if (answer.outcome == WebExchange::Answer::Outcome::NotSent) {
    log_.AddLine(texts.sendFailed);
    log_.AddLine(answer.errorText);
    return {{}, login::kNotSent};
  }
  log_.AddLine(texts.sent);
  if (answer.outcome == WebExchange::Answer::Outcome::NotReceived) {
    log_.AddLine(texts.receiveFailed);
    log_.AddLine(answer.errorText);
    return {{}, login::kNoAnswer};
  }
  return {answer.text, 0};
}

int LoginSession::LoginPhase() {
  for (;;) {
    const auto request = BuildLoginRequest(password_, secondLine_);
    if (!request) {
      log_.AddLine(kLoginTexts.sendFailed);
      return Finish("Password too long for the login request", login::kNotSent);
    }
    const Answer answer = Exchange(*request, kLoginTexts);
    if (answer.failure != 0) return answer.failure;
    const std::string_view text = answer.text;
    if (Contains(text, " 200 OK")) {
      alert_ = Contains(text, "alert");
      return IndexPhase();
    }
    if (Contains(text, "301 ")) {
      const auto portText = RedirectPortText(text);
      if (!portText) return IndexPhase();
      const auto port = ParsePort(*portText);
      if (!port) return Finish("Invalid login port number : " + PrintableText(*portText), login::kBadRedirect);
      if (++redirects_ > kMaxLoginRedirects) {
        return Finish("Too many port redirects in send login : " + std::string(*portText), login::kBadRedirect);
      }
      port_ = *port;
      log_.AddLine("Resend login pkt in port : " + std::string(*portText));
      continue;
    }
    if (Contains(text, " 400 ")) {
      log_.AddLine("Bad request in send login");
      return IndexPhase();
    }
    if (Contains(text, " 404 ")) {
      if (secondLine_ == kSecondTry) return Finish("NO CGI Found in send login", login::kNoCgi);
      log_.AddLine("NO CGI Found, and test again");
      secondLine_ = kSecondTry;
      continue;
    }
    if (Contains(text, " 503 ")) {
      log_.AddLine("Upgrade Not Complete at last time in send login");
      return IndexPhase();
    }
    return Finish("Receive login PKT error in send login", login::kNoAnswer);
  }
}

int LoginSession::IndexPhase() {
  const Answer answer = Exchange(IndexRequest(), kIndexTexts);
  if (answer.failure != 0) return answer.failure;
  const std::string_view text = answer.text;
  if (Contains(text, " 200 OK")) return Verdict(text);
  if (Contains(text, "301 ")) return Finish("unexpect port number error in send get_index PKT", login::kBadRedirect);
  if (Contains(text, " 400 ")) return Finish("Bad request in send get index", login::kBadIndexRequest);
  if (Contains(text, " 404 ")) return Finish("NO CGI Found in send get index", login::kNoCgi);
  if (Contains(text, " 503 ")) {
    log_.AddLine("Upgrade Not Complete at last time in send get index");
    return Verdict(text);
  }
  return Finish("Receive login PKT error in send get index", login::kNoAnswer);
}

int LoginSession::Verdict(std::string_view index) {
  if (HasCasTag(index)) {
    const std::string code = CasCode(index);
    if (code == "0003") return Finish("Login password error in New version", login::kPasswordRefused);
    if (code == "8003") return Finish("Login password correct in New version", port_);
    return Finish("unknow error code : " + code, login::kNoAnswer);
  }
  if (upgradeMethod_ == method::kHttpAfterFtp) {
    log_.AddLine("FTP Mode upgrade fail last time...");
    log_.AddLine("Try to use HTTP Mode to upgrade ");
    upgradeMethod_ = method::kHttp;
  } else {
    upgradeMethod_ = method::kFtp;
  }
  log_.AddLine("Old version detect");
  if (alert_) return Finish("Login password error in Old version", login::kPasswordRefused);
  return Finish("Login password correct in Old version", port_);
}

}  // namespace

std::optional<std::string> BuildLoginRequest(const std::string& password, const std::string& secondLine) {
  const std::string query = "rc=@&PSW=" + password + "&rd=menu";
  if (query.size() >= kQueryCapacity) return std::nullopt;
  std::string request = "GET /cgi-bin/logi?" + query + " HTTP/1.1\r\n" + secondLine + "\r\n";
  request += kRequestTail;
  if (request.size() >= kRequestCapacity) return std::nullopt;
  return request;
}

std::string_view IndexRequest() {
  static const std::string request = "GET / HTTP/1.1\r\n" + std::string(kRequestTail);
  return request;
}

int LoginRouter(const std::string& password, const std::string& address, std::uint16_t& upgradeMethod,
                LogSink& log, std::uint16_t startPort) {
  HttpWebExchange web(address);
  return LoginRouter(web, password, upgradeMethod, log, startPort);
}

int LoginRouter(WebExchange& web, const std::string& password, std::uint16_t& upgradeMethod, LogSink& log,
                std::uint16_t startPort) {
  return LoginSession(web, password, upgradeMethod, log, startPort).LoginPhase();
}

const char* LoginVerdictText(int result) {
  switch (result) {
    case login::kPasswordRefused: return "Incorrect password. Please check and input again!";
    case login::kNoAnswer: return "Receive response error";
    case login::kNotSent: return "Send request error";
    case login::kBadRedirect: return "Port command error";
    case login::kBadIndexRequest: return "Bad request";
    case login::kNoCgi: return "No CGI found";
    default: return nullptr;
  }
}

}  // namespace fwu
