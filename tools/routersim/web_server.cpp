#include "web_server.h"

#include "platform/event_loop.h"
#include "platform/error_text.h"

namespace fwu {

WebService::~WebService() {
  connections_.clear();
  for (const auto& listener : listeners_) shared_->loop.Unwatch(listener->watch);
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
  auto listener = std::make_unique<Listener>();
  listener->port = port;
  if (!listener->socket.ListenOn(port)) {
    return SocketErrorMessage("listen TCP " + std::to_string(port) + ": ", listener->socket.LastError());
  }
  Listener& entry = *listener;
  entry.watch = shared_->loop.WatchFd(entry.socket.Descriptor(), EventLoop::Interest::Readable,
                                      [this, &entry] { Accept(entry); });
  listeners_.push_back(std::move(listener));
  return {};
}

void WebService::Accept(Listener& listener) {
  for (;;) {
    auto client = listener.socket.Accept();
    if (!client) return;
    const int id = nextConnection_++;
    // A connection ends inside its own handler; it is destroyed after that
    // handler has returned.
    auto onDone = [this, id] { shared_->loop.Post([this, id] { connections_.erase(id); }); };
    connections_[id] = std::make_unique<HttpConnection>(*shared_, std::move(*client), listener.port, onDone);
  }
}

}  // namespace fwu
