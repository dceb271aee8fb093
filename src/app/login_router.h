#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fwu {

class LogSink;

inline constexpr std::uint16_t kWebPort = 80;
// Port redirects followed in one login; a router that keeps moving its web
// server beyond this is treated like a bad redirect (-20).
inline constexpr int kMaxLoginRedirects = 8;

// Login results besides a port.
namespace login {
inline constexpr int kPasswordRefused = -10;
inline constexpr int kNoAnswer = -11;
inline constexpr int kNotSent = -12;
inline constexpr int kBadRedirect = -20;
inline constexpr int kBadIndexRequest = -21;
inline constexpr int kNoCgi = -22;
}  // namespace login

// The message box text for a failed login, or nullptr for a result the
// program has no words for.
const char* LoginVerdictText(int result);

// The login request for a password and second request line, or nothing
// when the password would not fit the request (the query is limited to
// 1,023 characters and the request to 1,459).
std::optional<std::string> BuildLoginRequest(const std::string& password, const std::string& secondLine);
std::string_view IndexRequest();

// One request to the router's web server and its whole answer, over a
// connection of its own. The login runs its exchanges through this, so its
// reading of the answers is reached without sockets.
class WebExchange {
 public:
  struct Answer {
    enum class Outcome { Answered, NotSent, NotReceived };
    Outcome outcome = Outcome::Answered;
    std::string_view text;  // the bytes received; valid until the next exchange
    std::string errorText;  // why the request was not sent or not answered
  };
  virtual ~WebExchange() = default;
  virtual Answer Exchange(std::string_view request, std::uint16_t port) = 0;
};

// Logs in to the router's web interface at address, starting on startPort.
// Returns the port its web server listens on when the password is right,
// else a negative code of namespace login. Tells the two firmware
// generations apart: for an older router (no result code in its pages) it
// moves upgradeMethod to FTP (3), or to HTTP (2) after an FTP failure (133).
// Blocks the calling thread while it waits for the router.
int LoginRouter(const std::string& password, const std::string& address, std::uint16_t& upgradeMethod,
                LogSink& log, std::uint16_t startPort = kWebPort);
// The same login over any exchange.
int LoginRouter(WebExchange& web, const std::string& password, std::uint16_t& upgradeMethod, LogSink& log,
                std::uint16_t startPort = kWebPort);

}  // namespace fwu
