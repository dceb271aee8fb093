#include "transfer/tftp_file_sender.h"

#include "transfer/tftp_packets.h"

namespace fwu {

TftpStep TftpFileSender::Start(std::string_view name, const RandomAccessSource& file) {
  Stop();
  if (!tftp::FitsBlockNumbers(file.Size())) return Fail(TftpStep::Outcome::TooLarge);
  file_ = &file;
  segmentCount_ = file.Size() / tftp::kBlockSize;
  lastSegmentSize_ = static_cast<std::size_t>(file.Size() % tftp::kBlockSize);
  nextBlock_ = 1;
  state_ = State::AwaitingAck;
  packet_ = tftp::Request(tftp::kWriteRequest, name, tftp::kOctetMode);
  return TftpStep::Sending(packet_);
}

TftpStep TftpFileSender::OnDatagram(std::span<const std::uint8_t> datagram) {
  const tftp::Reply reply = tftp::ReadReply(datagram);
  switch (reply.kind) {
    case tftp::Reply::Kind::Error: {
      TftpStep step;
      step.outcome = TftpStep::Outcome::Refused;
      step.error = TftpStep::RouterError{reply.number, reply.errorText};
      return step;
    }
    case tftp::Reply::Kind::Acknowledgement:
      // Only the acknowledgement of the block just sent moves the file on.
      // A repeated one is ignored rather than answered with the block again,
      // so one lost acknowledgement never doubles every later block.
      // One numbered ahead is no acknowledgement of what was sent: past the
      // last block it would end a file the router never got whole.
      if (state_ == State::AwaitingAck && reply.number + 1 == nextBlock_) return OnAcknowledgement(reply.number);
      return {};
    case tftp::Reply::Kind::Other:
      return {};
  }
  return {};
}

TftpStep TftpFileSender::OnAcknowledgement(std::uint16_t block) {
  silentSeconds_ = 0;
  retransmissions_ = 0;
  TftpStep step;
  if (block < segmentCount_) {
    step = SendBlock(tftp::kBlockSize);
  } else if (block == segmentCount_) {
    step = SendBlock(lastSegmentSize_);
  } else {
    Stop();
    step = TftpStep::Ending(TftpStep::Outcome::FileSent);
  }
  step.acknowledged = block;
  return step;
}

TftpStep TftpFileSender::SendBlock(std::size_t length) {
  packet_.assign(tftp::kHeaderSize + length, 0);
  packet_[1] = tftp::kData;
  packet_[2] = static_cast<std::uint8_t>(nextBlock_ >> 8);
  packet_[3] = static_cast<std::uint8_t>(nextBlock_);
  const std::uint64_t offset = static_cast<std::uint64_t>(nextBlock_ - 1) * tftp::kBlockSize;
  if (length != 0 && !file_->ReadAt(offset, packet_.data() + tftp::kHeaderSize, length)) {
    return Fail(TftpStep::Outcome::ReadError);
  }
  ++nextBlock_;
  return TftpStep::Sending(packet_);
}

TftpStep TftpFileSender::OnRetransmitDue() {
  if (state_ != State::AwaitingAck) return TftpStep::Ending(TftpStep::Outcome::Nothing);
  ++silentSeconds_;
  const bool due = silentSeconds_ <= kSteadyResendSeconds ||
                   (silentSeconds_ - kSteadyResendSeconds) % kBackedOffResendSeconds == 0;
  if (!due) return {};
  ++retransmissions_;
  TftpStep step = TftpStep::Sending(packet_);
  step.retransmission = retransmissions_;
  return step;
}

TftpStep TftpFileSender::Fail(TftpStep::Outcome outcome) {
  Stop();
  return TftpStep::Ending(outcome);
}

void TftpFileSender::Stop() {
  state_ = State::Idle;
  file_ = nullptr;
  silentSeconds_ = 0;
  retransmissions_ = 0;
}

}  // namespace fwu
