#include "net/ftp_client.h"

#include "net/ftp_exceptions.h"
#include "platform/event_loop.h"
#include "platform/ipv4_address.h"

namespace fwu {

TFtpClient::TFtpClient(EventLoop& loop) : loop_(loop), control_(MakeStream()) {}

FtpStream TFtpClient::MakeStream() {
  return FtpStream(
      loop_, [this] { return Stopping(); },
      [this](int number, const std::string& text) {
        if (OnError) OnError(number, text);
      });
}

bool TFtpClient::Stopping() const { return cancelled_ || loop_.QuitRequested(); }

void TFtpClient::Status(int level, const std::string& text) {
  if (level > ReportLevel || !OnStatus) return;
  try {
    OnStatus(text);
  } catch (...) {
    // A status handler's trouble never changes the transfer's outcome.
  }
}

bool TFtpClient::Connected() { return control_.Alive(); }

std::string TFtpClient::ReadReply(std::string* allLines, int limitMs) {
  std::string first = control_.ReadLine(limitMs);
  if (first.empty()) return first;
  Status(1, WithoutLineEnd(first));
  if (allLines) *allLines = first;
  if (!OpensMultiLineReply(first)) return first;
  for (;;) {
    const std::string line = control_.ReadLine(limitMs);
    if (line.empty()) break;
    Status(1, WithoutLineEnd(line));
    if (allLines) *allLines += line;
    if (EndsMultiLineReply(first, line)) break;
  }
  return first;
}

std::string TFtpClient::Transaction(const std::string& command, const std::string& shownCommand,
                                    std::string* allLines, int limitMs) {
  replyCode_ = 0;
  Status(1, shownCommand.empty() ? command : shownCommand);
  const std::string line = command + "\r\n";
  control_.SendAll(reinterpret_cast<const std::uint8_t*>(line.data()), line.size(), TimeOut);
  const std::string reply = ReadReply(allLines, limitMs > 0 ? limitMs : TimeOut);
  lastReply_ = reply;
  replyCode_ = fwu::ReplyCode(reply);
  return reply;
}

void TFtpClient::Connect() {
  cancelled_ = false;
  if (Connected()) return;
  control_.Close();
  // The program only ever names routers by address; a name is refused
  // rather than sent to a resolver that might ask the outside network.
  if (Host.empty()) throw ESocketError("Null Remote Address", 0);
  if (!ParseDottedIpv4(Host)) throw ESocketError("Host Lookup Failed", 0);
  Status(4, "Connecting to " + Host);
  control_.Connect(Host, Port, TimeOut);
  Status(4, "Connected");
  try {
    LogIn();
  } catch (...) {
    CloseQuietly();
    Status(1, "Disconnected");
    throw;
  }
  if (OnConnect) OnConnect();
}

void TFtpClient::LogIn() {
  ReadReply(nullptr, TimeOut);
  std::string reply = Transaction("USER " + UserID);
  if (IsRefusedLogin(replyCode_)) throw FTPException(WithoutLineEnd(reply));
  if (replyCode_ == 331) {
    reply = Transaction("PASS " + Password, "PASS ", nullptr, PasswordReplyTimeOut);
    if (IsRefusedLogin(replyCode_)) throw FTPException(WithoutLineEnd(reply));
  }
  if (!TransferType.empty()) Transaction("TYPE " + TransferType);
}

void TFtpClient::CloseQuietly() {
  try {
    Disconnect();
  } catch (...) {
    control_.Close();
  }
}

void TFtpClient::Disconnect() {
  if (!control_.Open()) return;
  if (!control_.Alive()) {
    control_.Close();
    return;
  }
  control_.DiscardPending();
  std::string reply;
  try {
    reply = Transaction("QUIT");
  } catch (...) {
    control_.Close();
    throw;
  }
  control_.Close();
  if (IsFailingReply(replyCode_)) throw FTPException(WithoutLineEnd(reply));
}

}  // namespace fwu
