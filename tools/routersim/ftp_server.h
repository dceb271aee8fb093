#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "ftp_settings.h"
#include "platform/tcp_socket.h"
#include "router_service.h"
#include "web_settings.h"

namespace fwu {

// The router's FTP server. It serves one control connection at a time on a
// thread of its own, with blocking sockets: a router's FTP server talks to
// one upgrader, and the simulator's other services keep their loop.
class FtpService final : public RouterService {
 public:
  FtpService(const FtpSettings& ftp, const WebSettings& web, std::string listenAddress = "0.0.0.0")
      : ftp_(ftp), web_(web), listenAddress_(std::move(listenAddress)) {}
  ~FtpService() override;
  std::string Start(ServiceContext& context) override;
  std::uint16_t Port() const { return listener_.Port(); }
  // Called on the server's thread when a session that stored an image quits.
  std::function<void()> onUpgraded;

 private:
  void Serve(Recorder& record);

  FtpSettings ftp_;
  WebSettings web_;
  std::string listenAddress_;
  TcpListener listener_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace fwu
