#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "http_connection.h"
#include "platform/stream_socket.h"
#include "router_service.h"
#include "web_responder.h"
#include "web_settings.h"

namespace fwu {

// The router's web interface: login CGI, index page, upgrade CGI and ROM
// data, on --http-port and, with --redirect-to, on the redirected port too.
class WebService final : public RouterService {
 public:
  explicit WebService(const WebSettings& settings) : settings_(settings), responder_(settings_) {}
  ~WebService() override;
  std::string Start(ServiceContext& context) override;
  // Called after an upload was answered with a success verdict.
  std::function<void()> onUpgraded;

 private:
  struct Listener {
    TStreamSocket socket;
    int watch = 0;
    std::uint16_t port = 0;
  };
  std::string Listen(std::uint16_t port);
  void Accept(Listener& listener);

  WebSettings settings_;
  WebResponder responder_;
  std::unique_ptr<WebServerShared> shared_;
  // Each listener stays where it is: its watch refers to it.
  std::vector<std::unique_ptr<Listener>> listeners_;
  std::map<int, std::unique_ptr<HttpConnection>> connections_;
  int nextConnection_ = 1;
};

}  // namespace fwu
