#include "fleet/fleet_firmware.h"

#include <filesystem>

#include "bundle/bundle_reader.h"
#include "bundle/file_selector.h"
#include "notice/hidden_notice_presenter.h"
#include "platform/files.h"
#include "ui/log_sink.h"

namespace fwu {

namespace {

// The choice is made once more, and logged, by the program that sends.
class SilentLog final : public LogSink {
 public:
  void AddLine(const std::string&) override {}
};

// Search status of a crashed and of a running router, for the notice rules.
constexpr int kCrashedType = 0;
constexpr int kRunningType = 1;

}  // namespace

FleetFirmware::FleetFirmware() = default;
FleetFirmware::~FleetFirmware() = default;

bool FleetFirmware::Open(const FleetOptions& options, const std::string& programPath, Dialogs& dialogs,
                         std::string& error) {
  dialogs_ = &dialogs;
  notices_ = std::make_unique<HiddenNoticePresenter>();
  reader_ = std::make_unique<BundleReader>(dialogs, *notices_);
  // The control file also says how to search and which ROM stretch to save,
  // with a FILE too.
  const int opened = reader_->ReadinputExeFile(programPath);
  for (const FileRow& row : reader_->ExtractedFileTable().Rows()) {
    if (row.attribute != attr::kControlFile) continue;
    if (const auto content = ReadWholeFile(row.path)) {
      control_.emplace();
      control_->Overlay(content->data(), content->size());
    }
    break;
  }
  if (options.file) {
    std::error_code failure;
    const auto path = std::filesystem::absolute(*options.file, failure);
    if (failure || !FileExists(path.string())) {
      error = "cannot read " + *options.file;
      return false;
    }
    file_ = path.string();
    return true;
  }
  if (opened <= 0 || reader_->CountUpgradeFiles() == 0) {
    error = "this program carries no firmware: give FILE and --romid";
    return false;
  }
  return true;
}

std::vector<std::string> FleetFirmware::Choose(const std::string& romId, bool crashed) const {
  if (file_) return {*file_};
  SilentLog log;
  const FileTable& table = reader_->ExtractedFileTable();
  FileSelector selector(crashed ? kTftpProfile : kHttpProfile, table,
                        SelectionTarget{romId, crashed ? kCrashedType : kRunningType}, log, *notices_, *dialogs_);
  std::vector<std::string> files;
  SelectionRun run;
  for (int row = selector.SilentNextFile(0, run); SelectionResult::IsRow(row);
       row = selector.SilentNextFile(row + 1, run)) {
    files.push_back(table[static_cast<std::size_t>(row)].path);
  }
  return files;
}

}  // namespace fwu
