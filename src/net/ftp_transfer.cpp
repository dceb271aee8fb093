// The data transfers of TFtpClient: PORT, STOR or RETR, and the data
// connection the server opens back to the client.
#include <fstream>
#include <vector>

#include "net/ftp_client.h"
#include "net/ftp_exceptions.h"
#include "platform/files.h"

namespace fwu {
namespace {

// Files travel in blocks of this size, never whole.
constexpr std::size_t kBlock = 65536;

bool IsFailingReply(std::int64_t code) { return code >= 301 && code <= 599; }

// Holds the component's lock for one transfer: a transfer started from an
// event handler inside another is refused, not interleaved with it.
class TransferLock {
 public:
  explicit TransferLock(bool& held) : held_(held) {
    if (held_) throw ESocketError("Transfer in progress", 0);
    held_ = true;
  }
  ~TransferLock() { held_ = false; }
  TransferLock(const TransferLock&) = delete;
  TransferLock& operator=(const TransferLock&) = delete;

 private:
  bool& held_;
};

}  // namespace

void TFtpClient::OfferFailure(TransferKind kind) {
  bool handled = false;
  if (OnFailure) OnFailure(handled, kind);
  if (!handled) throw;
}

void TFtpClient::FailingReply(const std::string& reply, TransferKind kind) {
  try {
    throw FTPException(reply);
  } catch (const FTPException&) {
    OfferFailure(kind);
  }
}

bool TFtpClient::Command(const std::string& command, TransferKind kind, std::string* allLines) {
  const std::string reply = Transaction(command, {}, allLines);
  if (!IsFailingReply(replyCode_)) return true;
  FailingReply(reply, kind);
  return false;
}

bool TFtpClient::OpenDataConnection(FtpStream& listener, TransferKind kind) {
  listener.Listen();
  Status(4, "Listening on port " + std::to_string(listener.LocalPort()));
  return Command("PORT " + PortArgument(control_.LocalAddress(), listener.LocalPort()), kind);
}

void TFtpClient::Upload(const std::string& localFile, const std::string& remoteFile) {
  if (!Connected()) throw ESocketError("Not Connected", 0);
  TransferLock lock(transferring_);
  control_.DiscardPending();
  bytesSent_ = 0;
  transferSize_ = static_cast<std::int64_t>(FileSize(localFile).value_or(0));
  try {
    FtpStream listener = MakeStream();
    if (!OpenDataConnection(listener, TransferKind::Upload) ||
        !Command("STOR " + (remoteFile.empty() ? FileNamePart(localFile) : remoteFile), TransferKind::Upload)) {
      return;
    }
    FtpStream data = MakeStream();
    data.Accept(listener, DataConnectionTimeOut);
    listener.Close();
    SendFile(data, localFile);
    data.Close();
    // The final reply is only reported: the server's verdict on the file
    // is for the status watch to judge.
    ReadReply();
  } catch (const FTPException&) {
    throw;
  } catch (...) {
    OfferFailure(TransferKind::Upload);
  }
}

void TFtpClient::SendFile(FtpStream& data, const std::string& localFile) {
  std::ifstream file(localFile, std::ios::binary);
  if (!file) throw ESocketError("Can not open " + localFile, 0);
  std::vector<std::uint8_t> block(kBlock);
  while (!Stopping()) {
    file.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    const auto count = static_cast<std::size_t>(file.gcount());
    if (count == 0) break;
    data.SendAll(block.data(), count, SendStallTimeOut, [this](std::size_t sent) {
      bytesSent_ += static_cast<std::int64_t>(sent);
      if (OnPacketSent) OnPacketSent();
    });
  }
}

void TFtpClient::Download(const std::string& remoteFile, const std::string& localFile) {
  if (!Connected()) throw ESocketError("Not Connected", 0);
  TransferLock lock(transferring_);
  control_.DiscardPending();
  bytesReceived_ = 0;
  transferSize_ = 0;
  try {
    FtpStream listener = MakeStream();
    std::string wholeReply;
    if (!OpenDataConnection(listener, TransferKind::Download) ||
        !Command("RETR " + remoteFile, TransferKind::Download, &wholeReply)) {
      return;
    }
    transferSize_ = AnnouncedSize(wholeReply);
    FtpStream data = MakeStream();
    data.Accept(listener, DataConnectionTimeOut);
    listener.Close();
    ReceiveFile(data, localFile);
    data.Close();
    Status(1, "Received " + std::to_string(bytesReceived_) + " Bytes");
    ReadReply();
    if (Stopping()) Transaction("ABOR");
  } catch (const FTPException&) {
    throw;
  } catch (...) {
    OfferFailure(TransferKind::Download);
  }
}

void TFtpClient::ReceiveFile(FtpStream& data, const std::string& localFile) {
  std::ofstream file(localFile, std::ios::binary | std::ios::trunc);
  if (!file) throw ESocketError("Can not create " + localFile, 0);
  std::vector<std::uint8_t> block(kBlock);
  while (!Stopping()) {
    // The time-out restarts with every block: it bounds each gap.
    const std::size_t count = data.Receive(block.data(), block.size(), TimeOut);
    if (count == 0) break;
    file.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(count));
    if (!file) throw ESocketError("Can not write " + localFile, 0);
    bytesReceived_ += static_cast<std::int64_t>(count);
    if (OnPacketRecvd) OnPacketRecvd();
  }
}

}  // namespace fwu
