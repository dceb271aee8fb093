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

}  // namespace

void FtpSettings::AddSwitches(SwitchTable& table) {
  table.Add("--ftp-port", "N", "FTP server port (default 21)", [this](const std::string& v) {
    long long number = 0;
    if (!ParseNumber(v, 1, 65535, number)) return std::string("want a port 1..65535");
    port = static_cast<std::uint16_t>(number);
    return std::string();
  });
  table.Add("--ftp-stor-answer", "CODE", "answer to STOR: 150 (default), 429 or 550",
            OneOf({"150", "429", "550"}, storAnswer));
  table.Add("--ftp-port-answer", "CODE", "answer to PORT: 200 (default) or 500", OneOf({"200", "500"}, portAnswer));
  table.Add("--ftp-final-reply", "CODE", "reply after a stored image: 226 (default) or 429 (rejected)",
            OneOf({"226", "429"}, finalReply));
  table.Add("--ftp-silent-to", "COMMAND", "never answer this command (USER, PASS, PORT, STOR or RETR)",
            OneOf({"USER", "PASS", "PORT", "STOR", "RETR"}, silentTo));
  table.Add("--ftp-no-data-connection", "", "answer STOR and RETR, but never connect back to the client",
            [this](const std::string&) {
              noDataConnection = true;
              return std::string();
            });
  table.Add("--ftp-stall-after", "N", "stop reading an image after N bytes, keep the data connection",
            [this](const std::string& v) {
              long long number = 0;
              if (!ParseNumber(v, 0, 1LL << 40, number)) return std::string("want a byte count");
              stallAfter = static_cast<std::uint64_t>(number);
              return std::string();
            });
  table.Add("--no-ftp", "", "no FTP server", [this](const std::string&) {
    enabled = false;
    return std::string();
  });
}

}  // namespace fwu
