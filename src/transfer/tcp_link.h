#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/tcp_socket.h"

namespace fwu {

class ProgressSink;
class ReadOnlyFile;
class ReplacementFile;

// How long the blocking calls of one link may take. The readiness wait of
// 3 s is the protocol's own and runs out harmlessly; these bound the calls
// that follow it, so no router can hold a thread for ever.
struct LinkDeadlines {
  int connectMs = 21000;
  int idleMs = 60000;
};

// One blocking TCP connection to a router's web server: connect, send whole
// buffers, receive until the peer closes. Each step returns 1 (or a count)
// on success and -1 on failure, leaving the reason in LastErrorText().
// Unlike the single process-wide handle this layer once had, every link
// owns its socket, so two links never share one.
class TcpLink {
 public:
  // Bytes handed to one receive call.
  static constexpr int kChunkSize = 1465;

  struct Received {
    std::string peerAddress;
    std::uint16_t peerPort = 0;
    std::int64_t count = -1;
  };

  explicit TcpLink(LinkDeadlines deadlines = {});
  ~TcpLink();
  TcpLink(const TcpLink&) = delete;
  TcpLink& operator=(const TcpLink&) = delete;

  // The socket library needs no start-up or clean-up here; both succeed.
  int Startup();
  int Cleanup();

  int Open();
  int Connect(const std::string& dottedAddress, std::uint16_t port);

  // Sends length bytes; the count sent, 0 for a length of 0 or less, -1.
  std::int64_t SendAll(const void* data, std::int64_t length, ProgressSink* progress);
  // The same for length bytes of a file from offset, sent straight from the
  // system's copy of the file: they never pass through this process.
  std::int64_t SendFile(const ReadOnlyFile& file, std::uint64_t offset, std::int64_t length, ProgressSink* progress);

  // The whole response, followed by a 0 byte, into buffer. The longest
  // response accepted is capacity - 2 bytes.
  Received ReceiveToBuffer(char* buffer, std::int64_t capacity);

  // An HTTP response whose body goes to fileName; an earlier file of that
  // name is kept with ".BAK" appended. The count includes the header. A
  // body shorter than expectedBody bytes is a failure. Only a complete
  // response touches fileName or its backup.
  Received ReceiveToFile(const std::string& fileName, ProgressSink* progress, std::int64_t expectedBody = 0);

  const std::string& LastErrorText() const { return lastError_; }

  // Any thread: ends the connection so that a blocked step returns now and
  // no later Open succeeds. For an owner that is going away.
  void Abort();

 private:
  enum class Direction { Send, Receive };
  // False (with the error text set) only when the wait itself failed or
  // saw something wrong; a wait that runs out lets the call go ahead.
  bool WaitReady(Direction direction);
  Received ReceiveFailure(const std::string& text);
  // One receive call after the readiness wait: the byte count, 0 once the
  // peer has closed in order, -1 on a failure (error text set). A reset,
  // a receive deadline that passed or an abort is a failure: a response
  // cut off there must not pass for a whole one.
  long ReceiveChunk(char* chunk);
  Received ReceiveBody(ReplacementFile& file, ProgressSink* progress, std::int64_t expectedBody);
  // The loop of both sends: sendSome(offset, count) hands on what it can.
  template <typename SendSome>
  std::int64_t SendLoop(std::int64_t length, ProgressSink* progress, SendSome sendSome);

  // The readiness wait of every send and receive step.
  std::uint32_t waitSeconds_ = 3;
  std::uint32_t waitMicroseconds_ = 0;
  LinkDeadlines deadlines_;
  std::string lastError_;
  bool started_ = false;
  // Guards the socket's creation and closing against Abort from another
  // thread; sends and receives run unlocked on the owning thread.
  std::mutex lifeMutex_;
  std::atomic<bool> aborted_{false};
  TcpSocket socket_;
};

}  // namespace fwu
