// ftpprobe: the upgrader's FTP transport on its own, for tests and
// benchmarks inside the virtual LAN, against routersim or a real server.
//
//   ftpprobe put ADDR PASSWORD FILE...      stores each file as user root
//   ftpprobe get ADDR PASSWORD REMOTE LOCAL retrieves REMOTE into LOCAL
//
// Output lines: "log: ..." (the log pane), "result N", "text ...",
// "elapsed-us N" (the whole transfer call). Exit status 0 when the
// operation succeeded, 1 when it failed, 2 on bad usage.
#include <atomic>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "notice/hidden_notice_presenter.h"
#include "platform/poll_event_loop.h"
#include "transfer/ftp_form.h"
#include "ui/main_window_models.h"
#include "ui/scripted_dialogs.h"

int main(int argc, char** argv) {
  using namespace fwu;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 4 || (args[0] != "put" && args[0] != "get") || (args[0] == "get" && args.size() != 5)) {
    std::cerr << "usage: ftpprobe put ADDR PASSWORD FILE... | get ADDR PASSWORD REMOTE LOCAL\n";
    return 2;
  }
  PollEventLoop loop;
  ScriptedDialogs dialogs(loop);
  HiddenNoticePresenter notices;
  TmyFTPForm form(loop, notices, dialogs);
  MainWindowModels window;
  const auto started = std::chrono::steady_clock::now();
  int result = 0;
  if (args[0] == "put") {
    FileTable files;
    for (std::size_t i = 3; i < args.size(); ++i) files.Add({args[i], attr::kUserChosenFile, 1});
    std::atomic<std::int16_t> stopCounter{0};
    std::atomic<std::int16_t> state{0};
    result = form.UploadFiles(TransferJob{stopCounter, state, window, files, args[1], "", 1, args[2]});
  } else {
    result = form.GetRomFile(RomRequest{window, args[1], args[2], args[3], args[4]});
  }
  const auto elapsed = std::chrono::steady_clock::now() - started;
  for (const std::string& line : window.Memo1.Lines()) std::cout << "log: " << line << '\n';
  std::cout << "result " << result << '\n'
            << "text " << form.ResultText() << '\n'
            << "elapsed-us " << std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() << '\n';
  return result == 1 ? 0 : 1;
}
