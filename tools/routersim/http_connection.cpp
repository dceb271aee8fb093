#include "http_connection.h"

#include <algorithm>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/event_loop.h"
#include "platform/socket_error.h"
#include "recorder.h"
#include "upload_sink.h"
#include "web_responder.h"
#include "web_settings.h"

namespace fwu {

namespace {

constexpr std::size_t kReadChunk = 256 * 1024;
// How long a closing connection waits for the client to close its side, so
// that an unread byte never turns the close into a reset that destroys the
// answer in flight.
constexpr std::int64_t kDrainMs = 3000;

std::string LocalAddressOf(const TStreamSocket& socket) {
  const auto local = socket.Local();
  return local ? local->address : "0.0.0.0";
}

}  // namespace

HttpConnection::HttpConnection(WebServerShared& shared, TStreamSocket socket, std::uint16_t localPort,
                               std::function<void()> onDone)
    : shared_(shared),
      socket_(std::move(socket)),
      localPort_(localPort),
      localAddress_(LocalAddressOf(socket_)),
      onDone_(std::move(onDone)) {
  WatchReads(true);
}

HttpConnection::~HttpConnection() {
  WatchReads(false);
  if (writeWatch_ != 0) shared_.loop.Unwatch(writeWatch_);
  if (drainTimer_ != 0) shared_.loop.StopTimer(drainTimer_);
}

std::string HttpConnection::Tag() const { return " port " + std::to_string(localPort_); }

void HttpConnection::WatchReads(bool on) {
  if (on && readWatch_ == 0) {
    readWatch_ = shared_.loop.WatchFd(socket_.Descriptor(), EventLoop::Interest::Readable, [this] { OnReadable(); });
  } else if (!on && readWatch_ != 0) {
    shared_.loop.Unwatch(readWatch_);
    readWatch_ = 0;
  }
}

void HttpConnection::OnReadable() {
  static thread_local std::vector<char> buffer(kReadChunk);
  const long got = socket_.Receive(buffer.data(), buffer.size());
  if (got < 0 && socket_.LastError() == wsa::kWouldBlock) return;
  if (got <= 0) {
    if (phase_ == Phase::Body) shared_.record.Line("upload ended early after " + std::to_string(bodyReceived_));
    Close();
    return;
  }
  const std::string_view bytes(buffer.data(), static_cast<std::size_t>(got));
  if (phase_ == Phase::Draining) return;  // the answer is out; the rest is discarded
  if (phase_ == Phase::Body) {
    TakeBody(bytes);
    return;
  }
  received_.append(bytes);
  const HeadParse parse = ParseRequestHead(received_);
  if (parse.status == HeadStatus::Incomplete) return;
  if (parse.status == HeadStatus::Bad) {
    shared_.record.Line("http bad request" + Tag());
    Respond(WebResponder::StatusAnswer(400));
    return;
  }
  const std::string rest = received_.substr(parse.head.headSize);
  received_.clear();
  TakeHead(parse.head);
  if (phase_ == Phase::Body && !rest.empty()) TakeBody(rest);
}

void HttpConnection::TakeHead(const HttpRequestHead& head) {
  std::string line = "http " + head.method + " " + head.target + Tag();
  for (const auto& other : head.otherLines) line += " line " + other;
  if (head.method == "GET") {
    shared_.record.Line(line);
    Respond(shared_.responder.AnswerGet(head, localPort_, localAddress_));
    return;
  }
  if (head.method != "POST") {
    shared_.record.Line(line);
    Respond(WebResponder::StatusAnswer(501));
    return;
  }
  if (head.contentLength) line += " length " + std::to_string(*head.contentLength);
  shared_.record.Line(line);
  if (head.path != "/upg") {
    Respond(WebResponder::StatusAnswer(404));
    return;
  }
  if (!head.contentLength) {
    Respond(WebResponder::StatusAnswer(400));
    return;
  }
  if (AsciiLower(head.Header("Expect")) == "100-continue") {
    // Without it curl waits a second before sending the body.
    static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
    socket_.Send(kContinue.data(), kContinue.size());
  }
  phase_ = Phase::Body;
  bodyExpected_ = *head.contentLength;
  upload_ = std::make_unique<UploadSink>(shared_.settings.storeDir, ++shared_.uploadCount);
  if (bodyExpected_ == 0) FinishUpload();
}

void HttpConnection::TakeBody(std::string_view bytes) {
  std::uint64_t limit = bodyExpected_;
  const auto& settings = shared_.settings;
  if (settings.stallAfter) limit = std::min(limit, *settings.stallAfter);
  if (settings.closeAfter) limit = std::min(limit, *settings.closeAfter);
  bytes = bytes.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), limit - bodyReceived_)));
  bodyReceived_ += bytes.size();
  if (std::string error = upload_->Feed(bytes); !error.empty()) {
    shared_.record.Line("upload error " + error);
    Respond(WebResponder::StatusAnswer(503));
    return;
  }
  if (bodyReceived_ == bodyExpected_) {
    FinishUpload();
  } else if (settings.closeAfter && bodyReceived_ >= *settings.closeAfter) {
    shared_.record.Line("upload closed after " + std::to_string(bodyReceived_));
    upload_->Finish();
    Close();
  } else if (settings.stallAfter && bodyReceived_ >= *settings.stallAfter) {
    // The connection stays open and unread: the client's sends block.
    shared_.record.Line("upload stalled after " + std::to_string(bodyReceived_));
    upload_->Finish();
    phase_ = Phase::Stalled;
    WatchReads(false);
  }
}

void HttpConnection::FinishUpload() {
  const std::string error = upload_->Finish();
  shared_.record.Line("upload name=" + upload_->FileName() + " bytes=" + std::to_string(upload_->ImageBytes()));
  if (!upload_->ClosingTextSeen()) shared_.record.Line("upload closing text missing");
  if (!error.empty()) {
    shared_.record.Line("upload error " + error);
    Respond(WebResponder::StatusAnswer(503));
    return;
  }
  // The restart is posted: it begins once the verdict is on its way.
  if (shared_.responder.VerdictIsSuccess() && shared_.upgraded) shared_.upgraded();
  Respond(shared_.responder.UpgradeVerdict(localPort_, localAddress_));
}

void HttpConnection::Respond(std::string answer) {
  phase_ = Phase::Writing;
  WatchReads(false);
  output_ = std::move(answer);
  outputSent_ = 0;
  OnWritable();
}

void HttpConnection::OnWritable() {
  while (outputSent_ < output_.size()) {
    const long sent = socket_.Send(output_.data() + outputSent_, output_.size() - outputSent_);
    if (sent < 0 && socket_.LastError() == wsa::kWouldBlock) {
      if (writeWatch_ == 0) {
        writeWatch_ = shared_.loop.WatchFd(socket_.Descriptor(), EventLoop::Interest::Writable, [this] { OnWritable(); });
      }
      return;
    }
    if (sent <= 0) {
      Close();
      return;
    }
    outputSent_ += static_cast<std::size_t>(sent);
  }
  if (writeWatch_ != 0) {
    shared_.loop.Unwatch(writeWatch_);
    writeWatch_ = 0;
  }
  StartDraining();
}

void HttpConnection::StartDraining() {
  phase_ = Phase::Draining;
  socket_.ShutdownSending();
  WatchReads(true);
  drainTimer_ = shared_.loop.StartTimer(kDrainMs, [this] { Close(); });
}

void HttpConnection::Close() {
  if (phase_ == Phase::Closed) return;
  phase_ = Phase::Closed;
  WatchReads(false);
  if (writeWatch_ != 0) {
    shared_.loop.Unwatch(writeWatch_);
    writeWatch_ = 0;
  }
  if (drainTimer_ != 0) {
    shared_.loop.StopTimer(drainTimer_);
    drainTimer_ = 0;
  }
  socket_.Close();
  onDone_();
}

}  // namespace fwu
