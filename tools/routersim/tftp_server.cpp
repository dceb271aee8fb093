#include "tftp_server.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "platform/ascii_case.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "recorder.h"
#include "switch_table.h"
#include "udp_hub.h"
#include "upload_sink.h"

namespace fwu {

namespace {

constexpr std::uint16_t kTftpPort = 69;
constexpr std::size_t kBlockSize = 512;
constexpr int kAccessViolation = 2;
constexpr int kIllegalOperation = 4;
constexpr int kUnknownTransferId = 5;

SwitchTable::Apply BlockList(std::set<int>& blocks) {
  return [&blocks](const std::string& value) {
    std::istringstream items(value);
    std::string item;
    while (std::getline(items, item, ',')) {
      long long block = 0;
      if (!ParseNumber(item, 0, 65535, block)) return "want block numbers, not " + item;
      blocks.insert(static_cast<int>(block));
    }
    return std::string();
  };
}

SwitchTable::Apply Milliseconds(std::int64_t& ms) {
  return [&ms](const std::string& value) {
    long long parsed = 0;
    if (!ParseNumber(value, 0, 600000, parsed)) return std::string("want milliseconds 0..600000");
    ms = parsed;
    return std::string();
  };
}

// The zero-terminated text at `at`, moving `at` past it; empty when the
// datagram ends first.
std::string NextText(const Bytes& bytes, std::size_t& at) {
  std::size_t end = at;
  while (end < bytes.size() && bytes[end] != 0) ++end;
  if (end == bytes.size()) {
    at = bytes.size();
    return {};
  }
  std::string text(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(end));
  at = end + 1;
  return text;
}

Bytes Packet(int opcode, int number) {
  return {0, static_cast<std::uint8_t>(opcode), static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)};
}

}  // namespace

Bytes TftpAcknowledgement(int block) { return Packet(4, block); }

Bytes TftpErrorPacket(int code, const std::string& text) {
  Bytes packet = Packet(5, code);
  // Sized once and filled: GCC 12's bounds check misreads a growing insert.
  packet.resize(packet.size() + text.size() + 1);
  std::copy(text.begin(), text.end(), packet.end() - static_cast<std::ptrdiff_t>(text.size()) - 1);
  return packet;
}

void TftpSettings::AddSwitches(SwitchTable& table) {
  table.Add("--tftp-refuse", "NAME", "answer a write request for NAME (* any) with an error packet",
            [this](const std::string& v) { refusedName = v; return std::string(); });
  table.Add("--tftp-fail-at", "K", "answer data block K with an error packet", [this](const std::string& v) {
    long long block = 0;
    if (!ParseNumber(v, 1, 65535, block)) return std::string("want a block number 1..65535");
    failAtBlock = static_cast<int>(block);
    return std::string();
  });
  table.Add("--tftp-lose-ack", "LIST", "comma list of blocks whose first acknowledgement is not sent (0: the request's)",
            BlockList(lostAcks));
  table.Add("--tftp-repeat-ack", "LIST", "comma list of blocks acknowledged twice", BlockList(repeatedAcks));
  table.Add("--tftp-pace", "MS", "answer each TFTP datagram MS milliseconds after it came (a slow boot loader)",
            Milliseconds(paceMs));
  table.Add("--tftp-closed-error", "", "answer a file's last block sent again after its end with error 5",
            [this](const std::string&) {
              closedSessionError = true;
              return std::string();
            });
}

std::string TftpService::Start(ServiceContext& context) {
  context_ = &context;
  return context.udp.Listen(kTftpPort, [this](const Datagram& datagram) { return OnDatagram(datagram); });
}

std::string TftpService::Peer(const Datagram& datagram) const {
  return datagram.fromAddress + ":" + std::to_string(datagram.fromPort);
}

bool TftpService::OnDatagram(const Datagram& datagram) {
  const Bytes& bytes = datagram.payload;
  if (datagram.localPort != kTftpPort || bytes.size() < 2 || bytes[0] != 0) return false;
  const int opcode = bytes[1];
  if (!active_) {
    context_->record.Line("tftp opcode " + std::to_string(opcode) + " from " + Peer(datagram) + " unanswered");
    return true;
  }
  std::size_t at = 2;
  switch (opcode) {
    case 1: {
      const std::string name = NextText(bytes, at);
      if (name != "R!") return false;
      Reboot(datagram);
      return true;
    }
    case 2: {
      const std::string name = NextText(bytes, at);
      OnWriteRequest(datagram, name, NextText(bytes, at));
      return true;
    }
    case 3:
      if (bytes.size() >= 4) OnData(datagram, (bytes[2] << 8) | bytes[3]);
      return true;
    default:
      return true;  // acknowledgements and errors from a client need no answer
  }
}

void TftpService::OnWriteRequest(const Datagram& datagram, const std::string& name, const std::string& mode) {
  context_->record.Line("tftp write " + name + " mode " + mode + " from " + Peer(datagram));
  if (AsciiLower(mode) != "octet") {
    SendError(datagram, kIllegalOperation, "octet mode only");
    return;
  }
  if (settings_.refusedName == "*" || settings_.refusedName == name) {
    context_->record.Line("tftp refused " + name);
    SendError(datagram, kAccessViolation, "file refused");
    return;
  }
  // A repeated request (its acknowledgement was lost) starts the file again.
  peerAddress_ = datagram.fromAddress;
  peerPort_ = datagram.fromPort;
  name_ = name;
  image_.clear();
  expected_ = 1;
  lastBlock_ = -1;
  Acknowledge(0);
}

void TftpService::OnData(const Datagram& datagram, int block) {
  if (datagram.fromAddress != peerAddress_ || datagram.fromPort != peerPort_) {
    context_->record.Line("tftp data from unknown " + Peer(datagram));
    return;
  }
  if (expected_ == 0 || block != expected_) {
    // The sender did not see our acknowledgement: say it again.
    if (expected_ == 0 && block == lastBlock_ && settings_.closedSessionError) {
      context_->record.Line("tftp block " + std::to_string(block) + " after the end");
      SendError(datagram, kUnknownTransferId, "Unknown transfer ID");
      return;
    }
    if (block == expected_ - 1 || block == lastBlock_) {
      context_->record.Line("tftp repeated block " + std::to_string(block));
      Acknowledge(block);
    }
    return;
  }
  if (block == settings_.failAtBlock) {
    context_->record.Line("tftp failed at block " + std::to_string(block));
    expected_ = 0;
    SendError(datagram, kAccessViolation, "flash write failed");
    return;
  }
  const std::size_t length = datagram.payload.size() - 4;
  image_.insert(image_.end(), datagram.payload.begin() + 4, datagram.payload.end());
  ++expected_;
  if (length < kBlockSize) {
    expected_ = 0;
    lastBlock_ = block;
    std::string line = "tftp stored " + name_ + " bytes=" + std::to_string(image_.size());
    if (!storeDir_.empty()) {
      const std::string path = storeDir_ + "/" + std::to_string(++stored_) + "-" + SafeBaseName(name_);
      line += WriteWholeFile(path, image_) ? " as " + path : " but cannot write " + path;
    }
    context_->record.Line(line);
  }
  Acknowledge(block);
}

void TftpService::Reboot(const Datagram& datagram) {
  context_->record.Line("tftp reboot from " + Peer(datagram));
  active_ = false;
  if (onReboot) onReboot();
}

void TftpService::Acknowledge(int block) {
  if (settings_.lostAcks.erase(block) != 0) {
    context_->record.Line("tftp ack " + std::to_string(block) + " lost");
    return;
  }
  Send(TftpAcknowledgement(block));
  if (settings_.repeatedAcks.count(block) != 0) {
    context_->record.Line("tftp ack " + std::to_string(block) + " repeated");
    Send(TftpAcknowledgement(block));
  }
}

void TftpService::SendError(const Datagram& datagram, int code, const std::string& text) {
  Answer(TftpErrorPacket(code, text), datagram.fromAddress, datagram.fromPort);
}

void TftpService::Send(const Bytes& packet) { Answer(packet, peerAddress_, peerPort_); }

void TftpService::Answer(const Bytes& packet, const std::string& address, std::uint16_t port) {
  const auto send = [this, packet, address, port] {
    if (!context_->udp.Send(kTftpPort, packet, address, port)) context_->record.Line("send failed to " + address);
  };
  if (settings_.paceMs == 0) {
    send();
    return;
  }
  auto timer = std::make_shared<EventLoop::TimerId>(0);
  *timer = context_->loop.StartTimer(settings_.paceMs, [this, timer, send] {
    context_->loop.StopTimer(*timer);
    send();
  });
}

}  // namespace fwu
