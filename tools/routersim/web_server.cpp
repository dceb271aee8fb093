#include "web_server.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/event_loop.h"

namespace fwu {

WebService::~WebService() {
  connections_.clear();
  for (const auto& listener : listeners_) {
    shared_->loop.Unwatch(listener.watch);
    close(listener.fd);
  }
}

std::string WebService::Start(ServiceContext& context) {
  shared_ = std::make_unique<WebServerShared>(WebServerShared{context.loop, context.record, responder_, settings_});
  if (!settings_.enabled) return {};
  std::string error = Listen(settings_.httpPort);
  if (error.empty() && settings_.redirectTo != 0 && settings_.redirectTo != settings_.httpPort) {
    error = Listen(settings_.redirectTo);
  }
  return error;
}

std::string WebService::Listen(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::string("socket: ") + std::strerror(errno);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(fd, 16) != 0) {
    const std::string error = "listen TCP " + std::to_string(port) + ": " + std::strerror(errno);
    close(fd);
    return error;
  }
  const std::size_t index = listeners_.size();
  listeners_.push_back({fd, 0, port});
  listeners_[index].watch = shared_->loop.WatchFd(fd, EventLoop::Interest::Readable,
                                                  [this, index] { Accept(listeners_[index]); });
  return {};
}

void WebService::Accept(const Listener& listener) {
  for (;;) {
    const int fd = accept4(listener.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    const int id = nextConnection_++;
    // A connection ends inside its own handler; it is destroyed after that
    // handler has returned.
    auto onDone = [this, id] { shared_->loop.Post([this, id] { connections_.erase(id); }); };
    connections_[id] = std::make_unique<HttpConnection>(*shared_, fd, listener.port, onDone);
  }
}

}  // namespace fwu
