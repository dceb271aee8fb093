#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "http_request.h"
#include "platform/stream_socket.h"

namespace fwu {

class EventLoop;
class Recorder;
class UploadSink;
class WebResponder;
struct WebSettings;

// What all connections of one web server share.
struct WebServerShared {
  EventLoop& loop;
  Recorder& record;
  WebResponder& responder;
  const WebSettings& settings;
  // Called once the router has answered an upload with a success verdict.
  std::function<void()> upgraded;
  int uploadCount = 0;
};

// One accepted connection: one request, one answer, then a graceful close
// (the upgrader reads its answer until the router closes). Uploads stream
// through an UploadSink; --stall-after and --close-after act on the body.
class HttpConnection {
 public:
  HttpConnection(WebServerShared& shared, TStreamSocket socket, std::uint16_t localPort,
                 std::function<void()> onDone);
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

 private:
  enum class Phase { Head, Body, Stalled, Writing, Draining, Closed };

  void OnReadable();
  void OnWritable();
  void TakeHead(const HttpRequestHead& head);
  void TakeBody(std::string_view bytes);
  void FinishUpload();
  void Respond(std::string answer);
  void StartDraining();
  void WatchReads(bool on);
  void Close();
  std::string Tag() const;

  WebServerShared& shared_;
  TStreamSocket socket_;
  std::uint16_t localPort_;
  std::string localAddress_;
  std::function<void()> onDone_;
  Phase phase_ = Phase::Head;
  int readWatch_ = 0;
  int writeWatch_ = 0;
  int drainTimer_ = 0;
  std::string received_;  // the head, until it is complete
  std::string output_;
  std::size_t outputSent_ = 0;
  std::uint64_t bodyExpected_ = 0;
  std::uint64_t bodyReceived_ = 0;
  std::unique_ptr<UploadSink> upload_;
};

}  // namespace fwu
