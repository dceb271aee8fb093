#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/binary_file.h"
#include "platform/bytes.h"

namespace fwu {

// What one step of a TFTP write asks of its owner: a datagram to send (or
// none), what to do with the retransmission timer, and how the file stands.
struct TftpStep {
  enum class Outcome {
    Nothing,    // nothing changed: a repeated or stray acknowledgement
    Send,       // send `datagram`
    FileSent,   // the last block was acknowledged
    Refused,    // the router sent an error packet; its owner decides
    ReadError,  // the next block could not be read from the file
    TooLarge,   // the file needs more blocks than 16-bit numbers allow
  };
  struct RouterError {
    std::uint16_t code = 0;
    std::string text;  // as received: not yet fit to show
  };
  enum class Timer { Keep, Arm, Stop };

  Outcome outcome = Outcome::Nothing;
  Timer timer = Timer::Keep;
  // The acknowledged block, when an acknowledgement moved the file on.
  std::optional<std::uint16_t> acknowledged;
  // Valid until the sender's next call.
  std::span<const std::uint8_t> datagram;
  int retransmission = 0;  // 1, 2, ... when this is one
  std::optional<RouterError> error;  // with Refused

  static TftpStep Sending(std::span<const std::uint8_t> datagram) {
    TftpStep step;
    step.outcome = Outcome::Send;
    step.timer = Timer::Arm;
    step.datagram = datagram;
    return step;
  }
  static TftpStep Ending(Outcome outcome) {
    TftpStep step;
    step.outcome = outcome;
    step.timer = Timer::Stop;
    return step;
  }
};

// One file written to the router in lock-step, 512-byte blocks: a protocol
// state machine without sockets. Its owner sends what a step asks for and
// runs the retransmission timer, which ticks once a second while armed;
// acknowledgements and the ticks come back as calls.
//
// The sender never gives up by itself: a boot loader erasing or writing
// flash may stay silent for many seconds, and only the owner's watchdog
// knows how long is too long. It sends the last datagram again each second
// of silence, then, after kSteadyResendSeconds, every other second, so that
// a busy router is not flooded.
//
//   TftpFileSender sender;
//   TftpStep step = sender.Start("image.bin", file);   // the write request
//   ... each datagram from the router: step = sender.OnDatagram(bytes);
//   ... each second of silence:        step = sender.OnRetransmitDue();
class TftpFileSender {
 public:
  static constexpr std::int64_t kRetransmitMs = 1000;
  static constexpr int kSteadyResendSeconds = 5;
  static constexpr int kBackedOffResendSeconds = 2;

  enum class State { Idle, AwaitingAck };

  // Builds the write request for `name`; the file must outlive the transfer.
  TftpStep Start(std::string_view name, const RandomAccessSource& file);
  // Any datagram from the router, whatever its size or content. An error
  // packet is reported, not acted on: the transfer stands until Stop.
  TftpStep OnDatagram(std::span<const std::uint8_t> datagram);
  // One second more without an acknowledgement.
  TftpStep OnRetransmitDue();
  // Forgets the file (the run ended elsewhere).
  void Stop();

  State CurrentState() const { return state_; }
  std::uint64_t SegmentCount() const { return segmentCount_; }
  std::size_t LastSegmentSize() const { return lastSegmentSize_; }
  std::uint16_t NextBlock() const { return nextBlock_; }

 private:
  TftpStep OnAcknowledgement(std::uint16_t block);
  TftpStep SendBlock(std::size_t length);
  TftpStep Fail(TftpStep::Outcome outcome);

  State state_ = State::Idle;
  const RandomAccessSource* file_ = nullptr;
  std::uint64_t segmentCount_ = 0;
  std::size_t lastSegmentSize_ = 0;
  std::uint16_t nextBlock_ = 0;
  // The last datagram sent, kept for retransmission.
  Bytes packet_;
  int silentSeconds_ = 0;
  int retransmissions_ = 0;
};

}  // namespace fwu
