#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application_control.h"
#include "app/upgrade_form.h"
#include "bundle/bundle_writer.h"
#include "bundle/initial_setting.h"
#include "notice/hidden_notice_presenter.h"
#include "platform/files.h"
#include "platform/manual_event_loop.h"
#include "platform/temp_dir.h"
#include "ui/scripted_dialogs.h"
#include "support/fake_device_search.h"

namespace fwu::testing {

class RecordingApplication final : public ApplicationControl {
 public:
  void Terminate() override { ++terminations; }
  int terminations = 0;
};

// A control record as the delivered bundle carries it: nothing preset,
// method "set", flags 0x19, time-out 50, FTP first.
inline InitialSetting DeliveredControl() {
  InitialSetting s;
  s.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodSet);
  s.SetByte(InitialSetting::kFlagsOffset, 0x19);
  for (const auto& field : InitialSetting::kSearchIP) s.SetText(field, "default");
  s.SetText(InitialSetting::kCaption, "default");
  s.SetByte(InitialSetting::kTimeOutOffset, 50);
  s.SetByte(InitialSetting::kMethodOrderOffset, 2);
  return s;
}

inline Bytes RecordBytes(const InitialSetting& s) { return Bytes(s.Raw().begin(), s.Raw().end()); }

// Builds program files in a scratch directory and a main window over them,
// with virtual time, scripted dialogs and a fake search.
class FormTest : public ::testing::Test {
 protected:
  std::string WriteProgram(const std::vector<BundleEntry>& entries, const std::string& name = "upgrader") {
    const Bytes executable(1000, 0x5A);
    const std::string path = scratch_.PathWithSeparator() + name;
    if (entries.empty()) {
      EXPECT_TRUE(WriteWholeFile(path, executable));
    } else {
      const BuiltBundle built = BuildBundle(executable, entries);
      EXPECT_TRUE(built.Ok()) << built.error;
      EXPECT_TRUE(WriteWholeFile(path, built.bytes));
    }
    return path;
  }

  std::string WriteDeliveredProgram(const InitialSetting& control = DeliveredControl()) {
    return WriteProgram({{"control.cfg", 0x1000, RecordBytes(control)},
                         {"firmware.bin", 0x080D, Bytes(4096, 0x11)},
                         {"notice.tmp", 0x040D, Bytes(200, 0x22)}});
  }

  TUpgradeForm1& MakeForm(std::vector<std::string> arguments, const std::string& programPath) {
    form_ = std::make_unique<TUpgradeForm1>(
        UpgradeFormServices{loop_, dialogs_, search_, notices_, application_}, std::move(arguments),
        programPath);
    return *form_;
  }

  std::vector<std::string> LogLines() const { return form_->Models().Memo1.Lines(); }
  bool Logged(const std::string& line) const {
    const auto lines = LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::string ScratchPath(const std::string& name) const { return scratch_.PathWithSeparator() + name; }

  PrivateTempDir scratch_;
  ManualEventLoop loop_;
  ScriptedDialogs dialogs_{loop_};
  FakeDeviceSearch search_;
  HiddenNoticePresenter notices_;
  RecordingApplication application_;
  std::unique_ptr<TUpgradeForm1> form_;
};

}  // namespace fwu::testing
