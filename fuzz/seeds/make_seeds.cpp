// Writes the seed corpora of the fuzz targets that read router answers, from
// the router simulator's own answer code: what a router of each kind says.
// Usage: fuzz_seeds CORPUS_DIR (the directory that holds one per target)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/login_router.h"
#include "client_probes.h"
#include "discovery_answers.h"
#include "http_request.h"
#include "tftp_server.h"
#include "ui/log_sink.h"
#include "web_responder.h"
#include "web_settings.h"

namespace {

namespace fs = std::filesystem;
using fwu::Bytes;

constexpr const char* kRouterAddress = "192.168.1.1";

class SeedWriter {
 public:
  SeedWriter(const fs::path& root, const std::string& target) : dir_(root / target) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

 private:
  fs::path dir_;
};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

void DiscoverySeeds(const fs::path& root) {
  using fwu::Malformation;
  SeedWriter out(root, "discovery_answer");
  const std::vector<std::pair<const char*, Malformation>> malformations{
      {"plain", Malformation::None}, {"toolong", Malformation::TooLong},
      {"tagatzero", Malformation::TagAtZero}, {"nozero", Malformation::NoZero}};
  const std::vector<std::pair<const char*, fwu::BootMark>> marks{
      {"both", fwu::BootMark::Both}, {"c1", fwu::BootMark::OpC1}, {"hops", fwu::BootMark::Hops10},
      {"neither", fwu::BootMark::Neither}};
  for (int kind = 0; kind < 4; ++kind) {
    const auto routerKind = static_cast<fwu::ProbeKind>(kind);
    for (const auto& [malformationName, malformation] : malformations) {
      for (const auto& [markName, mark] : marks) {
        if (routerKind != fwu::ProbeKind::Boot && mark != fwu::BootMark::Both) continue;
        if (routerKind != fwu::ProbeKind::Recovery && malformation == Malformation::TagAtZero) continue;
        const fwu::RouterIdentity identity{"QRT101", "Router", mark};
        const Bytes answer = fwu::BuildAnswer(routerKind, fwu::seeds::ClientProbe(kind), identity, malformation);
        // The first byte: the probe, and an echo for every other kind.
        const char selector = static_cast<char>(kind | ((kind & 1) ? 4 : 0));
        out.Write(fwu::ProbeKindName(routerKind) + "-" + malformationName + "-" + markName,
                  selector + Text(answer));
      }
    }
  }
}

// The router side of one login, recorded answer by answer.
class RecordingRouter final : public fwu::WebExchange {
 public:
  explicit RecordingRouter(const fwu::WebSettings& settings) : responder_(settings) {}

  Answer Exchange(std::string_view request, std::uint16_t port) override {
    const fwu::HeadParse parse = fwu::ParseRequestHead(request);
    answers_.push_back(responder_.AnswerGet(parse.head, port, kRouterAddress));
    return {Answer::Outcome::Answered, answers_.back(), {}};
  }
  // The fuzz target's form: one method byte, then the answers split by 0xFF.
  std::string Script(char methodByte) const {
    std::string script(1, methodByte);
    for (std::size_t i = 0; i < answers_.size(); ++i) script += (i ? "\xff" : "") + answers_[i];
    return script;
  }

 private:
  fwu::WebResponder responder_;
  std::vector<std::string> answers_;
};

class NoLog final : public fwu::LogSink {
 public:
  void AddLine(const std::string&) override {}
};

void LoginSeeds(const fs::path& root) {
  using Generation = fwu::WebSettings::Generation;
  SeedWriter out(root, "login");
  struct Case {
    std::string name;
    fwu::WebSettings settings;
    std::string password = "admin";
    char methodByte = 0;
  };
  std::vector<Case> cases;
  const auto add = [&cases](const std::string& name, auto change, std::string password = "admin", char method = 0) {
    fwu::WebSettings settings;
    settings.password = "admin";
    change(settings);
    cases.push_back({name, settings, password, method});
  };
  add("new-right", [](fwu::WebSettings&) {});
  add("new-wrong", [](fwu::WebSettings&) {}, "guess");
  add("old-right", [](fwu::WebSettings& s) { s.generation = Generation::Old; });
  add("old-wrong", [](fwu::WebSettings& s) { s.generation = Generation::Old; }, "guess");
  add("old-after-ftp", [](fwu::WebSettings& s) { s.generation = Generation::Old; }, "admin", 1);
  add("redirect", [](fwu::WebSettings& s) { s.redirectTo = 8080; });
  add("redirect-path", [](fwu::WebSettings& s) { s.redirectTo = 8080; s.redirectWithPath = true; });
  add("redirect-9000", [](fwu::WebSettings& s) { s.redirectTo = 9000; });
  for (const char* answer : {"400", "404", "404-once", "503"}) {
    add(std::string("login-") + answer, [answer](fwu::WebSettings& s) { s.loginAnswer = answer; });
  }
  for (const char* answer : {"301", "400", "404", "503"}) {
    add(std::string("index-") + answer, [answer](fwu::WebSettings& s) { s.indexAnswer = answer; });
  }
  for (const Case& c : cases) {
    RecordingRouter router(c.settings);
    std::uint16_t method = c.methodByte ? 133 : 2;
    NoLog log;
    fwu::LoginRouter(router, c.password, method, log);
    out.Write(c.name, router.Script(c.methodByte));
  }
}

void VerdictSeeds(const fs::path& root) {
  SeedWriter out(root, "upgrade_verdict");
  for (const char* verdict : {"8000", "8001", "8002", "9999", "alert", "plain", "301", "400", "404", "501", "503"}) {
    fwu::WebSettings settings;
    settings.upgradeVerdict = verdict;
    settings.alertText = "Firmware image does not fit";
    out.Write(verdict, fwu::WebResponder(settings).UpgradeVerdict(80, kRouterAddress));
  }
}

void RomResponseSeeds(const fs::path& root) {
  SeedWriter out(root, "rom_response");
  const fwu::WebSettings settings;
  const std::vector<std::pair<const char*, const char*>> fetches{
      {"one-byte", "O=0&L=1"}, {"short", "O=0&L=100"}, {"two-chunks", "O=4096&L=2000"}, {"bad-range", "O=x&L=1"}};
  for (const auto& [name, query] : fetches) {
    const std::string request = std::string("GET /config.bin?") + query + " HTTP/1.1\r\n";
    fwu::WebResponder responder(settings);
    const std::string answer = responder.AnswerGet(fwu::ParseRequestHead(request).head, 80, kRouterAddress);
    // Receive-to-file judges the first chunk it reads, at most 1,465 bytes.
    out.Write(name, answer.substr(0, 1465));
  }
  out.Write("404", fwu::WebResponder::StatusAnswer(404));
}

// A boot loader's side of one file: the size, then the datagrams the
// simulator sends, split by 0xFF; an empty one is a second of silence.
void TftpSeeds(const fs::path& root) {
  SeedWriter out(root, "tftp_reply");
  const auto script = [](std::size_t size, const std::vector<Bytes>& datagrams) {
    std::string text{static_cast<char>(size >> 8), static_cast<char>(size & 0xFF)};
    for (std::size_t i = 0; i < datagrams.size(); ++i) text += (i ? "\xff" : "") + Text(datagrams[i]);
    return text;
  };
  const auto acks = [](int last) {
    std::vector<Bytes> datagrams;
    for (int block = 0; block <= last; ++block) datagrams.push_back(fwu::TftpAcknowledgement(block));
    return datagrams;
  };
  out.Write("1000-bytes", script(1000, acks(2)));
  out.Write("1024-bytes", script(1024, acks(3)));
  out.Write("empty", script(0, acks(1)));
  std::vector<Bytes> repeated = acks(4);
  repeated.insert(repeated.begin() + 2, fwu::TftpAcknowledgement(1));
  out.Write("repeated-ack", script(2000, repeated));
  std::vector<Bytes> lost = acks(4);
  lost.insert(lost.begin() + 2, Bytes{});
  out.Write("lost-ack", script(2000, lost));
  out.Write("silent", script(600, {{}, {}, {}, {}, {}, {}}));
  std::vector<Bytes> refused = acks(3);
  refused.push_back(fwu::TftpErrorPacket(2, "flash write failed"));
  out.Write("error-mid-file", script(5000, refused));
  out.Write("refused", script(100, {fwu::TftpErrorPacket(2, "file refused")}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds CORPUS_DIR\n");
    return 2;
  }
  const fs::path root = argv[1];
  DiscoverySeeds(root);
  LoginSeeds(root);
  VerdictSeeds(root);
  RomResponseSeeds(root);
  TftpSeeds(root);
  return 0;
}
