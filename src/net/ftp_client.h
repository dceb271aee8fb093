#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "net/ftp_stream.h"

namespace fwu {

class EventLoop;
class ReadOnlyFile;
class ReplacementFile;

// The FTP client component: one control connection, a login as UserID,
// one data connection per transfer in active mode (the client listens and
// announces itself with PORT), QUIT. Every call blocks its caller and keeps
// the event loop running while it waits, so timers and the component's own
// events fire inside Connect, Upload and Download. Failing replies raise
// FTPException, socket trouble ESocketError, ended waits EAbortError.
class TFtpClient {
 public:
  enum class TransferKind { Upload, Download };

  explicit TFtpClient(EventLoop& loop);
  TFtpClient(const TFtpClient&) = delete;
  TFtpClient& operator=(const TFtpClient&) = delete;

  std::string Host;
  std::uint16_t Port = 21;
  std::string UserID;
  std::string Password;
  // Bound of each guarded wait: connect, a command's sending, every reply
  // line, each gap between the blocks of a download.
  int TimeOut = 1000;
  // Bounds of the two waits that TimeOut leaves open: for the server to
  // open the data connection after a positive reply, and for the data
  // socket to take more file bytes. A stuck server or link then fails the
  // transfer instead of holding the program until its watchdog fires.
  int DataConnectionTimeOut = 10000;
  int SendStallTimeOut = 10000;
  // Servers hold back the refusal of a wrong password (one to three
  // seconds are common defaults): the reply to PASS may take this long.
  int PasswordReplyTimeOut = 5000;
  // Status texts of a level at or below it reach OnStatus: 1 commands and
  // reply lines, 4 socket steps, 8 internal steps.
  int ReportLevel = 8;
  bool Passive = false;  // active mode is the only one offered
  // Sent after the login ("TYPE I"), its reply not judged; empty: none.
  std::string TransferType;

  std::function<void()> OnConnect;
  std::function<void(const std::string&)> OnStatus;
  std::function<void()> OnPacketSent;
  std::function<void()> OnPacketRecvd;
  std::function<void(int, const std::string&)> OnError;
  // May set handled to let a failing reply or transfer pass.
  std::function<void(bool& handled, TransferKind)> OnFailure;

  void Connect();
  // Each succeeds only when the server's final reply says the file is
  // complete. A transfer that stops short resets its data connection and
  // sends ABOR, so the server never takes it for a whole file.
  void Upload(const std::string& localFile, const std::string& remoteFile);
  // The local file is replaced only by a complete copy (the earlier one is
  // kept with ".BAK" appended): fewer bytes than the reply announced, or
  // than expectedSize, fail the transfer.
  void Download(const std::string& remoteFile, const std::string& localFile, std::int64_t expectedSize = 0);
  void Disconnect();
  void Abort() { cancelled_ = true; }

  bool Connected();
  std::int64_t ReplyCode() const { return replyCode_; }
  const std::string& LastReply() const { return lastReply_; }
  std::int64_t GetBytesSent() const { return bytesSent_; }
  std::int64_t GetBytesRcvd() const { return bytesReceived_; }
  std::int64_t TransferSize() const { return transferSize_; }

 private:
  void Status(int level, const std::string& text);
  // Sends a command and reads its reply; the reply's first line is returned.
  // Each line of the reply may take limitMs, TimeOut when it is 0.
  std::string Transaction(const std::string& command, const std::string& shownCommand = {},
                          std::string* allLines = nullptr, int limitMs = 0);
  std::string ReadReply(std::string* allLines, int limitMs);
  void LogIn();
  void CloseQuietly();
  bool Stopping() const;

  // One transfer: PORT, the command, the data connection.
  // False when a failing reply was let pass by OnFailure.
  bool Command(const std::string& command, TransferKind kind, std::string* allLines = nullptr);
  bool OpenDataConnection(FtpStream& listener, TransferKind kind);
  FtpStream AcceptDataConnection(FtpStream& listener);
  // Runs the sending or receiving; a failure resets the data connection
  // and sends ABOR before it goes on.
  void RunDataPhase(FtpStream& data, const std::function<void()>& phase);
  // Reads the final reply; false when a failure was let pass by OnFailure.
  bool Completed(TransferKind kind);
  // Raises failure unless OnFailure lets it pass.
  void OfferFailure(TransferKind kind, std::exception_ptr failure);
  void SendFile(FtpStream& data, const ReadOnlyFile& file, const std::string& localFile);
  void ReceiveFile(FtpStream& data, ReplacementFile& file, const std::string& localFile);
  FtpStream MakeStream();

  EventLoop& loop_;
  FtpStream control_;
  bool cancelled_ = false;
  bool transferring_ = false;
  std::int64_t replyCode_ = 0;
  std::string lastReply_;
  std::int64_t bytesSent_ = 0;
  std::int64_t bytesReceived_ = 0;
  std::int64_t transferSize_ = 0;
};

}  // namespace fwu
