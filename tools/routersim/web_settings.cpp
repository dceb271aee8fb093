#include "web_settings.h"

#include <cctype>
#include <initializer_list>

#include "switch_table.h"

namespace fwu {

namespace {

std::string OneOf(const std::string& value, std::initializer_list<const char*> allowed, std::string& target) {
  for (const char* item : allowed) {
    if (value == item) {
      target = value;
      return {};
    }
  }
  return "unknown value " + value;
}

bool IsFourDigitCode(const std::string& value) {
  if (value.size() != 4) return false;
  for (char c : value) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

void WebSettings::AddSwitches(SwitchTable& table) {
  table.Add("--generation", "new|old",
            "new: login verdict as --CAS code in the index page; old: no --CAS, alert after a wrong password",
            [this](const std::string& v) {
              if (v == "new") generation = Generation::New;
              else if (v == "old") generation = Generation::Old;
              else return "unknown generation " + v;
              return std::string();
            });
  table.Add("--password", "TEXT", "administrator password (default empty)",
            [this](const std::string& v) { password = v; return std::string(); });
  table.Add("--http-port", "N", "web server port (default 80)", PortSwitch(httpPort));
  table.Add("--redirect-to", "PORT",
            "the login on --http-port answers 301 to PORT; everything is served on PORT too",
            PortSwitch(redirectTo));
  table.Add("--redirect-location", "bare|path",
            "Location of the 301: http://ADDR:PORT (default) or http://ADDR:PORT/cgi-bin/logi",
            [this](const std::string& v) {
              if (v != "bare" && v != "path") return "unknown style " + v;
              redirectWithPath = v == "path";
              return std::string();
            });
  table.Add("--login-answer", "CODE", "answer to the login: 200 (default), 400, 404, 404-once or 503",
            [this](const std::string& v) { return OneOf(v, {"200", "400", "404", "404-once", "503"}, loginAnswer); });
  table.Add("--index-answer", "CODE", "answer to GET /: 200 (default), 301, 400, 404 or 503",
            [this](const std::string& v) { return OneOf(v, {"200", "301", "400", "404", "503"}, indexAnswer); });
  table.Add("--upgrade-verdict", "V",
            "answer to the upload: a 4-digit --CAS code (default 8000), alert, plain, 301, 400, 404, 501 or 503",
            [this](const std::string& v) {
              if (IsFourDigitCode(v)) {
                upgradeVerdict = v;
                return std::string();
              }
              return OneOf(v, {"alert", "plain", "301", "400", "404", "501", "503"}, upgradeVerdict);
            });
  table.Add("--alert-text", "TEXT", "message of the alert verdict (default \"Firmware too old\")",
            [this](const std::string& v) { alertText = v; return std::string(); });
  table.Add("--store-dir", "DIR", "store each uploaded image as DIR/<n>-<file name>",
            [this](const std::string& v) { storeDir = v; return std::string(); });
  table.Add("--rom-data", "FILE",
            "ROM served by /config.bin?O=offset&L=length (default: byte at offset x is x % 251)",
            [this](const std::string& v) { romData = v; return std::string(); });
  table.Add("--stall-after", "N", "stop reading an upload after N body bytes, keep the connection",
            ByteCountSwitch(stallAfter));
  table.Add("--close-after", "N", "close an upload's connection after N body bytes", ByteCountSwitch(closeAfter));
  table.Add("--no-web", "", "no web server (discovery only)",
            [this](const std::string&) { enabled = false; return std::string(); });
}

}  // namespace fwu
