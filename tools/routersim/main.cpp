// routersim: plays one router of the LAN for the upgrader's tests. Each
// protocol is a service with its own switches; this file only gathers them.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common_settings.h"
#include "discovery.h"
#include "ftp_server.h"
#include "platform/poll_event_loop.h"
#include "recorder.h"
#include "router_reboot.h"
#include "switch_table.h"
#include "tftp_server.h"
#include "udp_hub.h"
#include "web_server.h"

int main(int argc, char** argv) {
  using namespace fwu;
  CommonSettings common;
  DiscoverySettings discovery;
  WebSettings web;
  FtpSettings ftp;
  TftpSettings tftp;
  RebootSettings reboot;
  SwitchTable table;
  common.AddSwitches(table);
  discovery.AddSwitches(table);
  web.AddSwitches(table);
  ftp.AddSwitches(table);
  tftp.AddSwitches(table);
  reboot.AddSwitches(table);

  const std::string error = table.Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (common.help) {
    std::printf("usage: routersim [switches]\n"
                "Plays a router: discovery answers, web login, upgrade CGI, FTP server and, when crashed, the TFTP\n"
                "boot loader. Prints \"ready\" once it listens. Run it inside a network namespace only.\n%s"
                "Record lines: \"probe KIND from ADDR:PORT len N [romid R] [unanswered]\",\n"
                "\"http METHOD TARGET port P [line L] [length N]\", \"upload name=NAME bytes=N\",\n"
                "\"upload closing text missing\", \"upload stalled|closed after N\",\n"
                "\"ftp COMMAND ARGUMENT\", \"ftp login refused\", \"ftp stored name=NAME bytes=N\",\n"
                "\"ftp sent range=OFFSET#LENGTH bytes=N\", \"tftp write NAME mode M from ADDR:PORT\",\n"
                "\"tftp stored NAME bytes=N [as PATH]\", \"tftp reboot from ADDR:PORT\",\n"
                "\"reboot after tftp|http|ftp\", \"rebooted\",\n"
                "\"tftp refused NAME\", \"tftp failed at block K\", \"tftp ack K lost|repeated\",\n"
                "\"tftp repeated block K\", \"tftp block K after the end\".\n",
                table.HelpText().c_str());
    return 0;
  }
  if (!error.empty()) {
    std::fprintf(stderr, "routersim: %s (try --help)\n", error.c_str());
    return 2;
  }

  Recorder record;
  if (!record.Open(common.recordPath)) {
    std::fprintf(stderr, "routersim: cannot write %s\n", common.recordPath.c_str());
    return 1;
  }
  PollEventLoop loop;
  UdpHub udp(loop, record);
  ServiceContext context{loop, udp, record};

  auto discoveryService = std::make_unique<DiscoveryService>(discovery);
  // Every upgrade ends in a restart on the new firmware: silent, then
  // running. Made before the services, which call it until they are gone.
  RouterReboot restart(reboot, loop, record, *discoveryService);
  std::vector<std::unique_ptr<RouterService>> services;
  auto tftpService = std::make_unique<TftpService>(tftp, web.storeDir, discovery.crashed);
  auto webService = std::make_unique<WebService>(web);
  auto ftpService = std::make_unique<FtpService>(ftp, web);
  tftpService->onReboot = [&restart] { restart.Begin("tftp"); };
  webService->onUpgraded = [&restart] { restart.Begin("http"); };
  ftpService->onUpgraded = [&restart] { restart.Begin("ftp"); };
  services.push_back(std::move(discoveryService));
  services.push_back(std::move(tftpService));
  services.push_back(std::move(webService));
  services.push_back(std::move(ftpService));
  for (auto& service : services) {
    const std::string startError = service->Start(context);
    if (!startError.empty()) {
      std::fprintf(stderr, "routersim: %s\n", startError.c_str());
      return 1;
    }
  }
  // SIGTERM and SIGINT end the loop, so that the services close their
  // sockets and files on the way out.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
  loop.WatchFd(stopFd, EventLoop::Interest::Readable, [&loop] { loop.Quit(); });

  std::printf("ready\n");
  std::fflush(stdout);
  loop.Run();
  close(stopFd);
  return 0;
}
