#include "ftp_session.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/clock.h"
#include "recorder.h"
#include "switch_table.h"
#include "web_responder.h"

namespace fwu {
namespace {

constexpr int kIdleMs = 30000;
constexpr int kDataConnectMs = 3000;
// ROM stretches larger than this are refused, as the web server does.
constexpr long long kMaxRomSlice = 64LL * 1024 * 1024;

bool SendText(TcpSocket& socket, const std::string& text) {
  std::size_t sent = 0;
  while (sent < text.size()) {
    const long n = socket.Send(text.data() + sent, text.size() - sent);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// The reply that ends a transfer's data, by the --ftp-final-reply switch.
std::string FinalReplyLine(const std::string& code) {
  if (code == "429") return "429 Image rejected by the router";
  if (code == "426") return "426 Connection closed; transfer aborted";
  if (code == "451") return "451 Requested action aborted: local error in processing";
  return "226 Transfer complete";
}

}  // namespace

std::string SafeStoreName(const std::string& remoteName) {
  std::string name = remoteName.substr(remoteName.find_last_of("/\\") + 1);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "image";
  return name;
}

bool FtpSession::Reply(const std::string& line) { return SendText(control_, line + "\r\n"); }

bool FtpSession::ReadCommand(std::string& line) {
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    if (pending_.size() > 4096) return false;
    char chunk[1024];
    const long n = control_.Receive(chunk, sizeof chunk);
    if (n <= 0) return false;
    pending_.append(chunk, static_cast<std::size_t>(n));
  }
}

void FtpSession::Run() {
  control_.SetIoTimeout(kIdleMs);
  // RFC 959 lets the inner lines of a reply carry no code at all.
  for (const char* line : {"220-Router FTP server", " firmware and ROM data", "Authorised use only", "220 Ready"}) {
    if (!Reply(line)) return;
  }
  std::string line;
  while (!quit_ && ReadCommand(line)) {
    const std::size_t blank = line.find(' ');
    const std::string verb = AsciiUpper(line.substr(0, blank));
    const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    record_.Line("ftp " + verb + (verb == "PASS" ? std::string() : " " + argument));
    if (verb == ftp_.silentTo) continue;
    Handle(verb, argument);
  }
}

void FtpSession::Handle(const std::string& verb, const std::string& argument) {
  if (verb == "QUIT") {
    Reply("221 Goodbye");
    quit_ = true;
    if (imageStored_ && upgraded_) upgraded_();
  } else if (verb == "USER") {
    user_ = argument;
    loggedIn_ = false;
    Reply("331 Password required for " + argument);
  } else if (verb == "PASS") {
    loggedIn_ = user_ == "root" && argument == web_.password;
    if (!loggedIn_) {
      record_.Line("ftp login refused");
      // Servers hold a refusal back to slow down password guessing.
      SleepMs(ftp_.refusalDelayMs);
    }
    Reply(loggedIn_ ? "230 User logged in" : "530 Login incorrect");
  } else if (!loggedIn_) {
    Reply("530 Please login with USER and PASS");
  } else if (verb == "PORT") {
    Port(argument);
  } else if (verb == "STOR") {
    Store(argument);
  } else if (verb == "RETR") {
    Retrieve(argument);
  } else if (verb == "ABOR") {
    // Transfers end before the next command is read: none is left to abort.
    Reply("225 No transfer to abort");
  } else if (verb == "TYPE" || verb == "NOOP") {
    Reply("200 OK");
  } else {
    Reply("502 Command not implemented");
  }
}

void FtpSession::Port(const std::string& argument) {
  std::vector<long long> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = argument.find(',', from);
    long long value = 0;
    if (!ParseNumber(argument.substr(from, comma - from), 0, 255, value)) break;
    parts.push_back(value);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (parts.size() != 6 || ftp_.portAnswer != "200") {
    Reply("500 Illegal PORT command");
    return;
  }
  dataAddress_ = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
                 std::to_string(parts[3]);
  dataPort_ = static_cast<std::uint16_t>(parts[4] * 256 + parts[5]);
  Reply("200 PORT command successful");
}

void FtpSession::Intrude() {
  TcpSocket intruder;
  if (intruder.Create() && intruder.BindTo(ftp_.dataIntruder) &&
      intruder.Connect(dataAddress_, dataPort_, kDataConnectMs)) {
    record_.Line("ftp intruder reached the data port");
    // A client that checks its peer may have reset the connection already,
    // so the send may fail; one that does not would store these bytes.
    SendText(intruder, "not from the server");
  }
}

bool FtpSession::OpenData(TcpSocket& data) {
  if (ftp_.noDataConnection) return false;
  if (!ftp_.dataIntruder.empty() && dataPort_ != 0) Intrude();
  const bool open = dataPort_ != 0 && data.Create() && data.Connect(dataAddress_, dataPort_, kDataConnectMs) &&
                    data.SetIoTimeout(kIdleMs);
  dataPort_ = 0;
  if (!open) Reply("425 Can't open data connection");
  return open;
}

void FtpSession::Store(const std::string& name) {
  if (ftp_.storAnswer == "429") {
    Reply("429 Image not accepted by this router");
    return;
  }
  if (ftp_.storAnswer == "550") {
    Reply("550 " + name + ": Permission denied");
    return;
  }
  Reply("150 Opening data connection for " + name);
  TcpSocket data;
  if (!OpenData(data)) return;
  std::ofstream out;
  if (!web_.storeDir.empty()) {
    ++stored_;
    const std::string path = web_.storeDir + "/" + std::to_string(sequence_) + "-" + std::to_string(stored_) + "-" +
                             SafeStoreName(name);
    out.open(path, std::ios::binary | std::ios::trunc);
  }
  if (ftp_.readDelayMs > 0) SleepMs(ftp_.readDelayMs);
  std::vector<char> block(65536);
  std::uint64_t total = 0;
  long n = 0;
  for (;;) {
    if (ftp_.stallAfter && total >= *ftp_.stallAfter) {
      // Reads no more and keeps the data connection until the client says
      // something on the control connection; that command is served next.
      record_.Line("ftp stalled after " + std::to_string(total));
      std::string next;
      if (ReadCommand(next)) pending_.insert(0, next + "\r\n");
      return;
    }
    std::size_t room = block.size();
    if (ftp_.stallAfter) room = static_cast<std::size_t>(std::min<std::uint64_t>(room, *ftp_.stallAfter - total));
    n = data.Receive(block.data(), room);
    if (n <= 0) break;
    total += static_cast<std::uint64_t>(n);
    if (out.is_open()) out.write(block.data(), n);
  }
  data.Close();
  const std::string stored = "name=" + SafeStoreName(name) + " bytes=" + std::to_string(total);
  if (n < 0) {
    // A reset, not the end of the data: whatever came is no whole image.
    record_.Line("ftp aborted " + stored);
    Reply(FinalReplyLine("426"));
    return;
  }
  record_.Line("ftp stored " + stored);
  imageStored_ = imageStored_ || ftp_.finalReply == "226";
  FinishTransfer();
}

void FtpSession::FinishTransfer() {
  if (ftp_.finalReply != "none") {
    Reply(FinalReplyLine(ftp_.finalReply));
    return;
  }
  record_.Line("ftp closed without a final reply");
  control_.Close();
  quit_ = true;
}

void FtpSession::Retrieve(const std::string& range) {
  const std::size_t mark = range.find('#');
  long long offset = 0;
  long long length = 0;
  if (mark == std::string::npos || !ParseNumber(range.substr(0, mark), 0, 1LL << 40, offset) ||
      !ParseNumber(range.substr(mark + 1), 0, kMaxRomSlice, length)) {
    Reply("550 " + range + ": No such file");
    return;
  }
  const auto slice = RomSlice(web_.romData, static_cast<std::uint64_t>(offset), static_cast<std::uint64_t>(length));
  if (!slice) {
    Reply("550 " + range + ": No such file");
    return;
  }
  Reply("150 Opening BINARY mode data connection for " + range + " (" + std::to_string(slice->size()) + " bytes)");
  TcpSocket data;
  if (!OpenData(data)) return;
  const std::string sent = slice->substr(0, ftp_.cutRetrAfter.value_or(slice->size()));
  const bool whole = SendText(data, sent);
  data.Close();
  record_.Line("ftp sent range=" + range + " bytes=" + std::to_string(sent.size()));
  if (!whole) {
    Reply(FinalReplyLine("426"));
    return;
  }
  FinishTransfer();
}

}  // namespace fwu
