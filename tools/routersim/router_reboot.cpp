#include "router_reboot.h"

#include <memory>

#include "discovery.h"
#include "platform/event_loop.h"
#include "recorder.h"
#include "switch_table.h"

namespace fwu {

void RebootSettings::AddSwitches(SwitchTable& table) {
  table.Add("--reboot-delay", "MS",
            "after an upgrade (TFTP \"R!\", HTTP success, FTP QUIT after a stored image), silent this long, then "
            "a running router (default 2000)",
            [this](const std::string& v) {
              long long ms = 0;
              if (!ParseNumber(v, 0, 600000, ms)) return std::string("want milliseconds 0..600000");
              delayMs = ms;
              return std::string();
            });
  table.Add("--info-after", "TEXT", "the info text the router answers with after its reboot",
            [this](const std::string& v) {
              infoAfter = v;
              return std::string();
            });
}

void RouterReboot::Begin(const std::string& cause) {
  loop_.Post([this, cause] { OnLoop(cause); });
}

void RouterReboot::OnLoop(const std::string& cause) {
  record_.Line("reboot after " + cause);
  discovery_.SetAnswered({});
  const int generation = ++generation_;
  auto timer = std::make_shared<EventLoop::TimerId>(0);
  *timer = loop_.StartTimer(settings_.delayMs, [this, timer, generation] {
    loop_.StopTimer(*timer);
    if (generation != generation_) return;
    record_.Line("rebooted");
    if (settings_.infoAfter) discovery_.SetInfo(*settings_.infoAfter);
    discovery_.SetAnswered({ProbeKind::Query, ProbeKind::Boot});
  });
}

}  // namespace fwu
