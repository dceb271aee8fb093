// The TFTP window's handling of what a router sends back while a file is
// written: acknowledgements, errors and anything else. The first two bytes
// are the file's size (big-endian); the rest are the router's datagrams,
// split at each 0xFF byte, where an empty one stands for a second without
// an answer (the retransmission timer).
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "platform/binary_file.h"
#include "transfer/tftp_file_sender.h"
#include "transfer/tftp_packets.h"

namespace {

using fwu::TftpFileSender;
using fwu::TftpStep;

void CheckReply(std::span<const std::uint8_t> datagram) {
  const fwu::tftp::Reply reply = fwu::tftp::ReadReply(datagram);
  if (reply.kind != fwu::tftp::Reply::Kind::Other) FUZZ_CHECK(datagram.size() >= 2 && datagram[0] == 0);
  if (reply.kind == fwu::tftp::Reply::Kind::Acknowledgement) FUZZ_CHECK(datagram.size() >= 4 && datagram[1] == 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  fwu::Bytes file(static_cast<std::size_t>((data[0] << 8) | data[1]));
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 31 + 7);
  const fwu::MemorySource source(file);
  TftpFileSender sender;
  TftpStep step = sender.Start("fw.bin", source);
  FUZZ_CHECK(step.outcome == TftpStep::Outcome::Send && step.datagram[1] == fwu::tftp::kWriteRequest);
  fwu::Bytes last(step.datagram.begin(), step.datagram.end());
  int nextData = 1;  // the data block the router must see next
  int silentSeconds = 0;

  const std::span<const std::uint8_t> script(data + 2, size - 2);
  for (std::size_t start = 0; start <= script.size() && sender.CurrentState() != TftpFileSender::State::Idle;) {
    std::size_t end = start;
    while (end < script.size() && script[end] != 0xFF) ++end;
    const auto datagram = script.subspan(start, end - start);
    start = end + 1;
    if (datagram.empty()) {
      // Never given up: the last datagram again each second, then every
      // other second once the silence is long.
      step = sender.OnRetransmitDue();
      ++silentSeconds;
      const bool due = silentSeconds <= TftpFileSender::kSteadyResendSeconds ||
                       (silentSeconds - TftpFileSender::kSteadyResendSeconds) % 2 == 0;
      FUZZ_CHECK((step.outcome == TftpStep::Outcome::Send) == due);
      if (due) FUZZ_CHECK(fwu::Bytes(step.datagram.begin(), step.datagram.end()) == last);
      continue;
    }
    CheckReply(datagram);
    step = sender.OnDatagram(datagram);
    // An error is reported with its code and leaves the transfer standing.
    FUZZ_CHECK(step.error.has_value() == (step.outcome == TftpStep::Outcome::Refused));
    FUZZ_CHECK(!step.error || sender.CurrentState() == TftpFileSender::State::AwaitingAck);
    FUZZ_CHECK(step.acknowledged.has_value() ==
               (step.outcome == TftpStep::Outcome::Send || step.outcome == TftpStep::Outcome::FileSent ||
                step.outcome == TftpStep::Outcome::ReadError));
    if (step.outcome == TftpStep::Outcome::FileSent) {
      FUZZ_CHECK(static_cast<std::size_t>(nextData - 1) == file.size() / fwu::tftp::kBlockSize + 1);
    }
    if (step.outcome != TftpStep::Outcome::Send) continue;
    // Lock-step: each acknowledgement moves on by exactly the next block,
    // which carries the file's own bytes at its place.
    silentSeconds = 0;
    const auto& packet = step.datagram;
    FUZZ_CHECK(packet.size() >= 4 && packet.size() <= fwu::tftp::kLargestPacket && packet[1] == fwu::tftp::kData);
    FUZZ_CHECK(((packet[2] << 8) | packet[3]) == nextData && *step.acknowledged == nextData - 1);
    const std::size_t offset = static_cast<std::size_t>(nextData - 1) * fwu::tftp::kBlockSize;
    FUZZ_CHECK(offset + packet.size() - 4 <= file.size());
    for (std::size_t i = 4; i < packet.size(); ++i) FUZZ_CHECK(packet[i] == file[offset + i - 4]);
    last.assign(packet.begin(), packet.end());
    ++nextData;
  }
  return 0;
}
