// Sends one file with the upgrader's own TFTP window and datagram endpoint
// and prints the wall and CPU time from the first write request to the
// acknowledgement of the last block (the reboot request and its 7 s wait
// are left out: they are the same for any transfer).
//   bench_tftp_send ROUTER FILE
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "net/udp_endpoint.h"
#include "notice/hidden_notice_presenter.h"
#include "platform/poll_event_loop.h"
#include "transfer/tftp_form.h"
#include "ui/console_dialogs.h"
#include "ui/main_window_models.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_tftp_send ROUTER FILE\n");
    return 2;
  }
  fwu::PollEventLoop loop;
  fwu::ConsoleDialogs dialogs(loop, std::cerr);
  fwu::HiddenNoticePresenter notices;
  fwu::MainWindowModels models;
  fwu::TUdpEndpoint udp(loop);
  fwu::TTFTPForm form(loop, udp, notices, dialogs);
  // Ends the measurement inside the event that saw the last acknowledgement,
  // before the window's own timer would act on it.
  const auto received = udp.OnDataReceived;
  udp.OnDataReceived = [&](int numberBytes, const std::string& fromIP, int port) {
    received(numberBytes, fromIP, port);
    if (form.State() == fwu::TTFTPForm::RunState::AllSent) loop.Quit();
  };
  fwu::FileTable files;
  files.Add({argv[2], 0x080D, 1});
  std::atomic<std::int16_t> stopCounter{0};
  std::atomic<std::int16_t> upgradeState{11};

  // A failed run ends inside the window's timer instead.
  loop.StartTimer(100, [&] {
    if (stopCounter == 1002) loop.Quit();
  });

  const std::clock_t cpuStart = std::clock();
  const auto wallStart = std::chrono::steady_clock::now();
  form.UploadFiles(stopCounter, upgradeState, models.Memo1, models.StatusBar1, models.ProgressBar1, files, argv[1],
                   "", 0);
  loop.Run();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  if (form.State() != fwu::TTFTPForm::RunState::AllSent) {
    std::fprintf(stderr, "transfer failed (stop counter %d)\n", static_cast<int>(stopCounter));
    return 1;
  }
  int retransmissions = 0;
  for (const std::string& line : models.Memo1.Lines()) retransmissions += line.rfind("No answer", 0) == 0 ? 1 : 0;
  std::printf("wall %.4f cpu %.4f retransmissions %d\n", wall, cpu, retransmissions);
  return 0;
}
