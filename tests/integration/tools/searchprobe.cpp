// Runs the device search inside a virtual LAN and prints what it found, so
// that integration tests and the benchmark can drive it from the PC
// namespace. Refuses to run in the machine's own network namespace: the
// search broadcasts and probes private router addresses.
//
//   searchprobe [--flags N] [--romid TEXT] [--ip1..--ip4 ADDR] COMMAND...
//   COMMAND: full | address ADDR | clear | show 111|222
// Log lines of the search (probes it skipped) are printed as "log TEXT".
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/poll_event_loop.h"
#include "search/refresh_form.h"
#include "ui/controls.h"
#include "ui/log_sink.h"
#include "ui/scripted_dialogs.h"

namespace {

// Inside a namespace that `ip netns` made (the virtual LAN's), or one with
// no interface but loopback (unshare -n): nothing sent there can reach a
// real network.
bool InIsolatedNetworkNamespace() {
  struct stat mine {};
  if (stat("/proc/self/ns/net", &mine) != 0) return false;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/run/netns", error)) {
    struct stat named {};
    if (stat(entry.path().c_str(), &named) == 0 && named.st_ino == mine.st_ino && named.st_dev == mine.st_dev) {
      return true;
    }
  }
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) != 0) return false;
  bool onlyLoopback = true;
  for (const ifaddrs* i = interfaces; i != nullptr; i = i->ifa_next) {
    if ((i->ifa_flags & IFF_LOOPBACK) == 0) onlyLoopback = false;
  }
  freeifaddrs(interfaces);
  return onlyLoopback;
}

std::int64_t CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return std::int64_t{t.tv_sec} * 1000 + t.tv_usec / 1000; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The search's log pane: each line as "log TEXT".
class PrintedLog final : public fwu::LogSink {
 public:
  void AddLine(const std::string& line) override { std::printf("log %s\n", line.c_str()); }
};

int Usage() {
  std::fprintf(stderr,
               "usage: searchprobe [--flags N] [--romid TEXT] [--ip1..--ip4 ADDR] "
               "full|address ADDR|clear|show 111|222 ...\n");
  return 2;
}

void Show(fwu::TRefreshForm& form, int detail) {
  for (const fwu::DeviceEntry& e : form.Table().Entries()) {
    std::printf("entry %d|%s|%s|%s\n", e.status, e.address.c_str(), e.romId.c_str(), e.info.c_str());
  }
  fwu::ComboBoxModel list(false);
  fwu::StatusBarModel status;
  form.ShowSearchResult(list, status, detail);
  for (const std::string& line : list.Items()) std::printf("line %s\n", line.c_str());
  std::printf("status %s\n", status.Text().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (!InIsolatedNetworkNamespace()) {
    std::fprintf(stderr, "searchprobe: refusing to search the machine's own network; run it in a namespace\n");
    return 3;
  }
  std::vector<std::string> args(argv + 1, argv + argc);
  std::uint8_t flags = fwu::DeviceSearch::kKeepFlags;
  std::string romId = "Kavlor";
  std::array<std::string, 4> ips{"default", "default", "default", "default"};
  std::size_t i = 0;
  for (; i + 1 < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
    const std::string& value = args[i + 1];
    if (args[i] == "--flags") {
      flags = static_cast<std::uint8_t>(std::strtoul(value.c_str(), nullptr, 0));
    } else if (args[i] == "--romid") {
      romId = value;
    } else if (args[i].size() == 5 && args[i].rfind("--ip", 0) == 0 && args[i][4] >= '1' && args[i][4] <= '4') {
      ips[static_cast<std::size_t>(args[i][4] - '1')] = value;
    } else {
      return Usage();
    }
  }
  try {
    fwu::PollEventLoop loop;
    fwu::ScriptedDialogs dialogs(loop);
    const auto form = fwu::MakeRefreshForm(loop);
    PrintedLog log;
    form->SetLog(&log);
    form->SetSearchParameters(flags, romId, ips);
    const std::int64_t wallStart = fwu::MonotonicMs();
    const std::int64_t cpuStart = CpuMs();
    for (; i < args.size(); ++i) {
      if (args[i] == "full") {
        form->RunFullSearch(dialogs);
      } else if (args[i] == "clear") {
        form->ClearTable();
      } else if (args[i] == "address" && i + 1 < args.size()) {
        form->SearchAddress(args[++i]);
      } else if (args[i] == "show" && i + 1 < args.size()) {
        Show(*form, std::atoi(args[++i].c_str()));
      } else {
        return Usage();
      }
    }
    std::fprintf(stderr, "time wall_ms=%lld cpu_ms=%lld\n", static_cast<long long>(fwu::MonotonicMs() - wallStart),
                 static_cast<long long>(CpuMs() - cpuStart));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "searchprobe: %s\n", e.what());
    return 1;
  }
  return 0;
}
