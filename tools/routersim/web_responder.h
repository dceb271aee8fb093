#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "http_request.h"
#include "web_settings.h"

namespace fwu {

// What the simulated router's web server answers, decided without sockets:
// the login CGI, the index page, the ROM data and the upgrade verdict. It
// keeps the little state a router has between requests (was the last
// password right, was the one-time "not found" given).
class WebResponder {
 public:
  explicit WebResponder(const WebSettings& settings) : settings_(settings) {}

  // The whole answer to a GET that arrived on localPort of localAddress.
  std::string AnswerGet(const HttpRequestHead& head, std::uint16_t localPort, const std::string& localAddress);
  // The answer after a complete upload.
  std::string UpgradeVerdict(std::uint16_t localPort, const std::string& localAddress) const;
  // The verdict tells the upgrader the new firmware is in place.
  bool VerdictIsSuccess() const;
  // An answer with the given status and a small page.
  static std::string StatusAnswer(int code, const std::string& body = {});

 private:
  std::string Login(const HttpRequestHead& head, std::uint16_t localPort, const std::string& localAddress);
  std::string Index(std::uint16_t localPort, const std::string& localAddress) const;
  std::string RomData(const HttpRequestHead& head) const;
  std::string Redirect(const std::string& localAddress, std::uint16_t toPort, bool withPath) const;
  std::string LoginPage() const;
  std::string IndexPage() const;

  const WebSettings& settings_;
  std::optional<bool> lastLoginRight_;
  bool notFoundOnceGiven_ = false;
};

// Bytes [offset, offset + length) of the ROM, cut at its end. With no ROM
// file the ROM is a counting pattern that any test can predict.
std::optional<std::string> RomSlice(const std::string& romFile, std::uint64_t offset, std::uint64_t length);

}  // namespace fwu
