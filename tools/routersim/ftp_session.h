#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ftp_settings.h"
#include "platform/tcp_socket.h"
#include "web_settings.h"

namespace fwu {

class Recorder;

// One control connection to the simulated router's FTP server: a greeting
// on several lines, USER root with the router's password (530 otherwise),
// PORT, STOR of an image into the store directory, RETR of "offset#length"
// from the ROM data, QUIT. Blocking: it runs on the server's own thread.
class FtpSession {
 public:
  // upgraded: called (on this thread) at QUIT after an image was stored,
  // when the router would restart on its new firmware.
  FtpSession(TcpSocket control, const FtpSettings& ftp, const WebSettings& web, Recorder& record, int sequence,
             std::function<void()> upgraded = {})
      : control_(std::move(control)),
        ftp_(ftp),
        web_(web),
        record_(record),
        sequence_(sequence),
        upgraded_(std::move(upgraded)) {}
  void Run();

 private:
  bool Reply(const std::string& line);
  bool ReadCommand(std::string& line);
  void Handle(const std::string& verb, const std::string& argument);
  void Port(const std::string& argument);
  void Store(const std::string& name);
  void Retrieve(const std::string& range);
  bool OpenData(TcpSocket& data);
  // A third host connects to the client's data port before the server does.
  void Intrude();
  // The final reply the switches ask for, or the control connection closed.
  void FinishTransfer();

  TcpSocket control_;
  const FtpSettings& ftp_;
  const WebSettings& web_;
  Recorder& record_;
  int sequence_;
  std::string pending_;
  std::string user_;
  bool loggedIn_ = false;
  bool quit_ = false;
  std::string dataAddress_;
  std::uint16_t dataPort_ = 0;
  int stored_ = 0;
  std::function<void()> upgraded_;
  bool imageStored_ = false;
};

// The name an image is stored under: the part after the last directory
// separator, with anything but letters, digits, '.', '-' and '_' replaced,
// and never "." or "..".
std::string SafeStoreName(const std::string& remoteName);

}  // namespace fwu
