#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fwu {

class DiscoveryService;
class EventLoop;
class Recorder;
class SwitchTable;

struct RebootSettings {
  std::int64_t delayMs = 2000;          // silent this long, then a running router
  std::optional<std::string> infoAfter;  // the info text it answers with once back

  void AddSwitches(SwitchTable& table);
};

// The router restarting on new firmware, after the boot loader's reboot
// order, a successful HTTP upgrade or an FTP session that stored an image:
// silent to every probe for the delay, then a running router (with the new
// info text). Runs on the loop; Begin may be called from any thread.
class RouterReboot {
 public:
  RouterReboot(const RebootSettings& settings, EventLoop& loop, Recorder& record, DiscoveryService& discovery)
      : settings_(settings), loop_(loop), record_(record), discovery_(discovery) {}

  void Begin(const std::string& cause);

 private:
  void OnLoop(const std::string& cause);

  RebootSettings settings_;
  EventLoop& loop_;
  Recorder& record_;
  DiscoveryService& discovery_;
  int generation_ = 0;  // a second reboot restarts the wait
};

}  // namespace fwu
