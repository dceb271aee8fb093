#include "web_responder.h"

#include <fstream>

#include "switch_table.h"

namespace fwu {

namespace {

// Larger requests are refused: the upgrader asks for stretches of a ROM, and
// the answer is built in memory.
constexpr std::uint64_t kMaxRomSlice = 64ull * 1024 * 1024;
constexpr int kRomPatternModulus = 251;

std::string ReasonOf(int code) {
  switch (code) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

// Headers carry no date, time or port: the upgrader takes the first ':'
// followed by a digit in any answer to be a redirect's port.
std::string Answer(int code, const std::string& extraHeaders, const std::string& body,
                   const std::string& contentType = "text/html") {
  return "HTTP/1.1 " + std::to_string(code) + " " + ReasonOf(code) + "\r\nServer: routersim\r\nContent-Type: " +
         contentType + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
         extraHeaders + "\r\n" + body;
}

std::string Page(const std::string& inner) { return "<html><body>" + inner + "</body></html>"; }

std::string CasPage(const std::string& code) { return Page("--CAS:" + code); }

std::string AlertPage(const std::string& message) {
  return "<html><head><script>alert(\"" + message + "\")</script></head><body></body></html>";
}

}  // namespace

std::string WebResponder::StatusAnswer(int code, const std::string& body) {
  return Answer(code, "", body.empty() ? Page(ReasonOf(code)) : body);
}

std::string WebResponder::AnswerGet(const HttpRequestHead& head, std::uint16_t localPort,
                                    const std::string& localAddress) {
  if (head.path == "/cgi-bin/logi") return Login(head, localPort, localAddress);
  if (head.path == "/") return Index(localPort, localAddress);
  if (head.path == "/config.bin") return RomData(head);
  return StatusAnswer(404);
}

std::string WebResponder::Redirect(const std::string& localAddress, std::uint16_t toPort, bool withPath) const {
  const std::string location = "http://" + localAddress + ":" + std::to_string(toPort) + (withPath ? "/cgi-bin/logi" : "");
  return Answer(301, "Location: " + location + "\r\n", Page("Moved"));
}

std::string WebResponder::LoginPage() const {
  const bool wrong = lastLoginRight_ == false;
  if (settings_.generation == WebSettings::Generation::Old && wrong) return AlertPage("Password error");
  return Page(wrong ? "Login" : "Menu");
}

std::string WebResponder::IndexPage() const {
  if (settings_.generation == WebSettings::Generation::Old) return Page("Status");
  return CasPage(lastLoginRight_ == true ? "8003" : "0003");
}

std::string WebResponder::Login(const HttpRequestHead& head, std::uint16_t localPort,
                                const std::string& localAddress) {
  if (settings_.redirectTo != 0 && localPort == settings_.httpPort) {
    return Redirect(localAddress, settings_.redirectTo, settings_.redirectWithPath);
  }
  const std::string& mode = settings_.loginAnswer;
  if (mode == "404") return StatusAnswer(404);
  if (mode == "404-once" && !notFoundOnceGiven_ && !head.HasLine("rd=begin")) {
    notFoundOnceGiven_ = true;
    return StatusAnswer(404);
  }
  lastLoginRight_ = head.QueryValue("PSW") == settings_.password;
  if (mode == "400") return StatusAnswer(400);
  if (mode == "503") return Answer(503, "", LoginPage());
  return Answer(200, "", LoginPage());
}

std::string WebResponder::Index(std::uint16_t localPort, const std::string& localAddress) const {
  const std::string& mode = settings_.indexAnswer;
  if (mode == "301") {
    return Redirect(localAddress, settings_.redirectTo != 0 ? settings_.redirectTo : localPort, false);
  }
  if (mode == "400" || mode == "404") return StatusAnswer(std::stoi(mode));
  // A 503 index still carries the page: the upgrader reads its verdict from it.
  return Answer(mode == "503" ? 503 : 200, "", IndexPage());
}

std::string WebResponder::RomData(const HttpRequestHead& head) const {
  long long offset = 0;
  long long length = 0;
  if (!ParseNumber(head.QueryValue("O"), 0, 1LL << 40, offset) ||
      !ParseNumber(head.QueryValue("L"), 0, static_cast<long long>(kMaxRomSlice), length)) {
    return StatusAnswer(400);
  }
  const auto slice = RomSlice(settings_.romData, static_cast<std::uint64_t>(offset), static_cast<std::uint64_t>(length));
  if (!slice) return StatusAnswer(404);
  return Answer(200, "", *slice, "application/octet-stream");
}

bool WebResponder::VerdictIsSuccess() const {
  return settings_.upgradeVerdict == "8000" || settings_.upgradeVerdict == "plain";
}

std::string WebResponder::UpgradeVerdict(std::uint16_t localPort, const std::string& localAddress) const {
  const std::string& verdict = settings_.upgradeVerdict;
  if (verdict == "alert") return Answer(200, "", AlertPage(settings_.alertText));
  if (verdict == "plain") return Answer(200, "", Page("Upgrade done"));
  if (verdict == "301") return Redirect(localAddress, localPort, false);
  if (verdict.size() == 3) return StatusAnswer(std::stoi(verdict));
  return Answer(200, "", CasPage(verdict));
}

std::optional<std::string> RomSlice(const std::string& romFile, std::uint64_t offset, std::uint64_t length) {
  if (romFile.empty()) {
    std::string slice(length, '\0');
    for (std::uint64_t i = 0; i < length; ++i) slice[i] = static_cast<char>((offset + i) % kRomPatternModulus);
    return slice;
  }
  std::ifstream rom(romFile, std::ios::binary);
  if (!rom) return std::nullopt;
  rom.seekg(0, std::ios::end);
  const auto size = static_cast<std::uint64_t>(rom.tellg());
  if (offset >= size) return std::string();
  std::string slice(std::min(length, size - offset), '\0');
  rom.seekg(static_cast<std::streamoff>(offset));
  rom.read(slice.data(), static_cast<std::streamsize>(slice.size()));
  return slice;
}

}  // namespace fwu
