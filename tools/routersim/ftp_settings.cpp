#include "ftp_settings.h"

#include <vector>

#include "switch_table.h"

namespace fwu {
namespace {

SwitchTable::Apply OneOf(std::vector<std::string> allowed, std::string& target) {
  return [allowed = std::move(allowed), &target](const std::string& value) {
    for (const std::string& item : allowed) {
      if (value == item) {
        target = value;
        return std::string();
      }
    }
    return "unknown value " + value;
  };
}

SwitchTable::Apply MillisecondsSwitch(int& target) {
  return [&target](const std::string& value) {
    long long number = 0;
    if (!ParseNumber(value, 0, 60000, number)) return std::string("want milliseconds 0..60000");
    target = static_cast<int>(number);
    return std::string();
  };
}

}  // namespace

void FtpSettings::AddSwitches(SwitchTable& table) {
  table.Add("--ftp-port", "N", "FTP server port (default 21)", PortSwitch(port));
  table.Add("--ftp-stor-answer", "CODE", "answer to STOR: 150 (default), 429 or 550",
            OneOf({"150", "429", "550"}, storAnswer));
  table.Add("--ftp-port-answer", "CODE", "answer to PORT: 200 (default) or 500", OneOf({"200", "500"}, portAnswer));
  table.Add("--ftp-final-reply", "CODE",
            "reply after a transfer's data: 226 (default), 429 (image rejected), 426 or 451 (aborted), "
            "none (close the control connection)",
            OneOf({"226", "429", "426", "451", "none"}, finalReply));
  table.Add("--ftp-silent-to", "COMMAND", "never answer this command (USER, PASS, PORT, STOR or RETR)",
            OneOf({"USER", "PASS", "PORT", "STOR", "RETR"}, silentTo));
  table.Add("--ftp-no-data-connection", "", "answer STOR and RETR, but never connect back to the client",
            [this](const std::string&) {
              noDataConnection = true;
              return std::string();
            });
  table.Add("--ftp-stall-after", "N", "stop reading an image after N bytes, keep the data connection",
            ByteCountSwitch(stallAfter));
  table.Add("--ftp-refusal-delay", "MS", "answer a wrong password after MS", MillisecondsSwitch(refusalDelayMs));
  table.Add("--ftp-read-delay", "MS", "wait MS before reading an image, as a slow link drains it late",
            MillisecondsSwitch(readDelayMs));
  table.Add("--ftp-cut-retr", "N", "close a ROM read's data connection after N bytes", ByteCountSwitch(cutRetrAfter));
  table.Add("--ftp-data-intruder", "ADDR",
            "before each data connection, connect to the client's data port from ADDR and send it bytes",
            [this](const std::string& v) {
              dataIntruder = v;
              return std::string();
            });
  table.Add("--no-ftp", "", "no FTP server", [this](const std::string&) {
    enabled = false;
    return std::string();
  });
}

}  // namespace fwu
