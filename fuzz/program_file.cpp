// A whole program file as the upgrader starts from it: its bundle extracted
// to temporary files, the control file applied and the notices offered, as
// at a start without arguments. A file anyone can hand the user must never
// crash the start, and every temporary file must be gone when it closes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/application_control.h"
#include "app/upgrade_form.h"
#include "fuzz_check.h"
#include "notice/console_notice_display.h"
#include "notice/notice_window.h"
#include "platform/files.h"
#include "platform/manual_event_loop.h"
#include "platform/temp_dir.h"
#include "search/device_search.h"
#include "ui/controls.h"
#include "ui/scripted_dialogs.h"

namespace {

// A LAN without routers.
class EmptyLan final : public fwu::DeviceSearch {
 public:
  void SetSearchParameters(std::uint8_t, const std::string&, const std::array<std::string, 4>&) override {}
  void SearchAddress(const std::string&) override {}
  void RunFullSearch(fwu::Dialogs&) override {}
  void ClearTable() override {}
  void ShowSearchResult(fwu::ComboBoxModel& list, fwu::StatusBarModel& status, int) override {
    list.ClearItems();
    list.SetText("");
    status.SetText("0 device found");
  }
  std::optional<fwu::DeviceEntry> Lookup(const std::string&) const override { return std::nullopt; }
  bool Ping(const std::string&) override { return false; }
};

class NoTermination final : public fwu::ApplicationControl {
 public:
  void Terminate() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fwu::PrivateTempDir scratch;
  const std::string program = scratch.PathWithSeparator() + "upgrader";
  FUZZ_CHECK(fwu::WriteWholeFile(program, fwu::Bytes(data, data + size)));

  fwu::ManualEventLoop loop;
  fwu::ScriptedDialogs dialogs(loop);
  EmptyLan lan;
  // The program's own notice window, shown as on a terminal (into nothing):
  // every notice offered is read, decided and, when it applies, rendered
  // and waited for in virtual time.
  std::ostringstream screen;
  fwu::ConsoleNoticeDisplay display(loop, screen);
  fwu::NoticeWindow notices(loop, display);
  NoTermination application;
  std::vector<std::string> extracted;
  {
    fwu::TUpgradeForm1 form({loop, dialogs, lan, notices, application}, {}, program);
    form.FormCreate();
    // The table as extracted, before the control file may replace it.
    for (const fwu::FileRow& row : form.FileList().Rows()) extracted.push_back(row.path);
    if (!form.StartupFailed() && !form.Closed()) form.FormActivate();
  }
  for (const std::string& path : extracted) FUZZ_CHECK(!fwu::FileExists(path));
  return 0;
}
