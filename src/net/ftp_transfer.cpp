// The data transfers of TFtpClient: PORT, STOR or RETR, and the data
// connection the server opens back to the client.
#include <algorithm>
#include <vector>

#include "net/ftp_client.h"
#include "net/ftp_exceptions.h"
#include "platform/binary_file.h"
#include "platform/files.h"
#include "platform/replacement_file.h"

namespace fwu {
namespace {

// Files travel in blocks of this size, never whole.
constexpr std::size_t kBlock = 65536;

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

void TFtpClient::OfferFailure(TransferKind kind, std::exception_ptr failure) {
  bool handled = false;
  if (OnFailure) OnFailure(handled, kind);
  if (!handled) std::rethrow_exception(failure);
}

bool TFtpClient::Command(const std::string& command, TransferKind kind, std::string* allLines) {
  const std::string reply = Transaction(command, {}, allLines);
  if (!IsFailingReply(replyCode_)) return true;
  OfferFailure(kind, std::make_exception_ptr(FTPException(WithoutLineEnd(reply))));
  return false;
}

bool TFtpClient::Completed(TransferKind kind) {
  const std::string reply = ReadReply(nullptr, TimeOut);
  if (reply.empty()) throw ESocketError("Connection closed before the final reply", 0);
  if (IsCompletion(fwu::ReplyCode(reply))) return true;
  OfferFailure(kind, std::make_exception_ptr(FTPTransferNotComplete(WithoutLineEnd(reply))));
  return false;
}

bool TFtpClient::OpenDataConnection(FtpStream& listener, TransferKind kind) {
  // Only the address the server reached us at: no other interface offers
  // a way in.
  listener.Listen(control_.LocalAddress());
  Status(4, "Listening on port " + std::to_string(listener.LocalPort()));
  return Command("PORT " + PortArgument(control_.LocalAddress(), listener.LocalPort()), kind);
}

FtpStream TFtpClient::AcceptDataConnection(FtpStream& listener) {
  FtpStream data = MakeStream();
  data.Accept(listener, control_.PeerAddress(), DataConnectionTimeOut);
  listener.Close();
  return data;
}

void TFtpClient::RunDataPhase(FtpStream& data, const std::function<void()>& phase) {
  try {
    phase();
  } catch (...) {
    // A server takes the orderly end of the data connection for the end of
    // the file: a transfer that stops short is reset instead, so that a cut
    // image is never stored as a whole one, and then abandoned.
    data.CloseWithReset();
    Status(1, "ABOR");
    try {
      control_.SendAll(reinterpret_cast<const std::uint8_t*>("ABOR\r\n"), 6, TimeOut);
    } catch (const std::exception&) {
      // The control connection is going the same way; the failure stands.
    }
    throw;
  }
}

void TFtpClient::Upload(const std::string& localFile, const std::string& remoteFile) {
  if (!Connected()) throw ESocketError("Not Connected", 0);
  TransferLock lock(transferring_);
  control_.DiscardPending();
  bytesSent_ = 0;
  transferSize_ = 0;
  try {
    ReadOnlyFile file;
    if (!file.Open(localFile)) throw ESocketError("Can not open " + localFile, 0);
    transferSize_ = static_cast<std::int64_t>(file.Size());
    FtpStream listener = MakeStream();
    if (!OpenDataConnection(listener, TransferKind::Upload) ||
        !Command("STOR " + (remoteFile.empty() ? FileNamePart(localFile) : remoteFile), TransferKind::Upload)) {
      return;
    }
    FtpStream data = AcceptDataConnection(listener);
    RunDataPhase(data, [&] {
      SendFile(data, file, localFile);
      // The reply is timed from the server's close: on a slow link the
      // last blocks are still on their way when the sending ends.
      data.FinishSending(SendStallTimeOut);
    });
    data.Close();
    Completed(TransferKind::Upload);
  } catch (const FTPException&) {
    throw;
  } catch (...) {
    OfferFailure(TransferKind::Upload, std::current_exception());
  }
}

void TFtpClient::SendFile(FtpStream& data, const ReadOnlyFile& file, const std::string& localFile) {
  std::vector<std::uint8_t> block(kBlock);
  for (std::uint64_t offset = 0; offset < file.Size();) {
    if (Stopping()) throw EAbortError("Transfer Canceled");
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, file.Size() - offset));
    // A read that fails is no end of the file: the image would go short.
    if (!file.ReadAt(offset, block.data(), count)) throw ESocketError("Can not read " + localFile, 0);
    data.SendAll(block.data(), count, SendStallTimeOut, [this](std::size_t sent) {
      bytesSent_ += static_cast<std::int64_t>(sent);
      if (OnPacketSent) OnPacketSent();
    });
    offset += count;
  }
}

void TFtpClient::Download(const std::string& remoteFile, const std::string& localFile, std::int64_t expectedSize) {
  if (!Connected()) throw ESocketError("Not Connected", 0);
  TransferLock lock(transferring_);
  control_.DiscardPending();
  bytesReceived_ = 0;
  transferSize_ = 0;
  try {
    ReplacementFile file;
    if (!file.Create(localFile)) throw ESocketError("Can not create " + localFile, 0);
    FtpStream listener = MakeStream();
    std::string wholeReply;
    if (!OpenDataConnection(listener, TransferKind::Download) ||
        !Command("RETR " + remoteFile, TransferKind::Download, &wholeReply)) {
      return;
    }
    transferSize_ = AnnouncedSize(wholeReply);
    FtpStream data = AcceptDataConnection(listener);
    RunDataPhase(data, [&] { ReceiveFile(data, file, localFile); });
    data.Close();
    Status(1, "Received " + std::to_string(bytesReceived_) + " Bytes");
    if (!Completed(TransferKind::Download)) return;
    const std::int64_t wanted = std::max(transferSize_, expectedSize);
    if (bytesReceived_ < wanted) {
      throw ESocketError("Received " + std::to_string(bytesReceived_) + " of " + std::to_string(wanted) + " bytes", 0);
    }
    if (!file.Finish() || !file.Replace()) throw ESocketError("Can not write " + localFile, 0);
  } catch (const FTPException&) {
    throw;
  } catch (...) {
    OfferFailure(TransferKind::Download, std::current_exception());
  }
}

void TFtpClient::ReceiveFile(FtpStream& data, ReplacementFile& file, const std::string& localFile) {
  std::vector<std::uint8_t> block(kBlock);
  for (;;) {
    if (Stopping()) throw EAbortError("Transfer Canceled");
    // The time-out restarts with every block: it bounds each gap.
    const std::size_t count = data.Receive(block.data(), block.size(), TimeOut);
    if (count == 0) return;
    if (!file.WriteAll(block.data(), count)) throw ESocketError("Can not write " + localFile, 0);
    bytesReceived_ += static_cast<std::int64_t>(count);
    if (OnPacketRecvd) OnPacketRecvd();
  }
}

}  // namespace fwu
