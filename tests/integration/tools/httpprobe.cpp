// httpprobe: the upgrader's HTTP side on its own, for tests inside the
// virtual LAN. Logs in as the upgrader does, then uploads files or fetches
// ROM data, printing every log line and the results.
//
//   httpprobe upload ADDR PASSWORD ROMID FILE:ATTRIBUTE... [--idle-ms N]
//   httpprobe rom ADDR PASSWORD OFFSET LENGTH OUTFILE
//
// Output lines: "log: ...", "status: ...", "login N", "method N",
// "result N", "text ...", "section ...", "progress N", and for an upload
// "upload-us N" (the whole UploadFiles call). Exit status 0 when
// the operation succeeded, 1 when it failed, 2 on bad usage.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/login_router.h"
#include "bundle/file_table.h"
#include "notice/notice_presenter.h"
#include "transfer/http_client.h"
#include "transfer/transfer_view.h"
#include "ui/dialogs.h"

namespace fwu {
namespace {

class PrintingView final : public TransferView {
 public:
  void AddLine(const std::string& line) override { std::cout << "log: " << line << '\n'; }
  void AdvanceProgress(std::int64_t bytes) override { progress += bytes; }
  void SetStatus(const std::string& text) override { std::cout << "status: " << text << '\n'; }
  void ResetProgress(std::int64_t) override { progress = 0; }
  std::int64_t progress = 0;
};

class PrintingDialogs final : public Dialogs {
 public:
  DialogAnswer ShowMessage(const MessageRequest& request) override {
    std::cout << "box: " << request.caption << ": " << request.text << '\n';
    return DefaultAnswer(request.buttons);
  }
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest&) override { return std::nullopt; }
  void ShowModal(ModalWindowModel&) override {}
};

class PrintingNotices final : public NoticePresenter {
 public:
  void Offer(const NoticeOffer& offer) override { std::cout << "notice: " << offer.path << '\n'; }
  void Show(const MessageFile&) override {}
};

int Usage() {
  std::cerr << "usage: httpprobe upload ADDR PASSWORD ROMID FILE:ATTRIBUTE... [--idle-ms N]\n"
               "       httpprobe rom ADDR PASSWORD OFFSET LENGTH OUTFILE\n";
  return 2;
}

// Logs in as the upgrader does; the web port, or nothing after printing why.
std::optional<std::uint16_t> Login(const std::string& address, const std::string& password, PrintingView& view) {
  std::uint16_t method = 2;
  const int login = LoginRouter(password, address, method, view);
  std::cout << "login " << login << "\nmethod " << method << '\n';
  if (login < 0) return std::nullopt;
  return static_cast<std::uint16_t>(login);
}

int Report(int result, const HttpClient& client, const PrintingView& view) {
  std::cout << "result " << result << "\ntext " << client.ResultText() << "\nsection " << client.UpgradeSection()
            << "\nprogress " << view.progress << '\n';
  return result < 0 ? 1 : 0;
}

int Upload(const std::vector<std::string>& args) {
  if (args.size() < 5) return Usage();
  LinkDeadlines deadlines;
  FileTable files;
  files.Add({"", 0, 0});
  for (std::size_t i = 4; i < args.size(); ++i) {
    if (args[i] == "--idle-ms" && i + 1 < args.size()) {
      deadlines.idleMs = std::stoi(args[++i]);
      continue;
    }
    const auto colon = args[i].rfind(':');
    if (colon == std::string::npos) return Usage();
    files.Add({args[i].substr(0, colon), static_cast<std::uint16_t>(std::stoul(args[i].substr(colon + 1), nullptr, 0)),
               1});
  }
  PrintingView view;
  const auto port = Login(args[1], args[2], view);
  if (!port) return 1;
  PrintingDialogs dialogs;
  PrintingNotices notices;
  std::atomic<std::int16_t> stopCounter{0};
  HttpClient client(deadlines);
  const auto start = std::chrono::steady_clock::now();
  const int result = client.UploadFiles(stopCounter, view, files, args[1], *port, args[3], 0, notices, dialogs);
  const auto took = std::chrono::steady_clock::now() - start;
  std::cout << "upload-us " << std::chrono::duration_cast<std::chrono::microseconds>(took).count() << '\n';
  return Report(result, client, view);
}

int Rom(const std::vector<std::string>& args) {
  if (args.size() != 6) return Usage();
  PrintingView view;
  if (!Login(args[1], args[2], view)) return 1;
  HttpClient client;
  // The ROM fetch always goes to port 80, whatever port the login settled.
  const int result = client.GetRomFile(view, args[1], kWebPort, args[5], args[2], std::stoll(args[3]),
                                       std::stoll(args[4]), args[3], args[4]);
  return Report(result, client, view);
}

}  // namespace
}  // namespace fwu

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return fwu::Usage();
  try {
    if (args[0] == "upload") return fwu::Upload(args);
    if (args[0] == "rom") return fwu::Rom(args);
  } catch (const std::exception&) {
    // A number that does not parse.
  }
  return fwu::Usage();
}
