#include "cli/console_run.h"

#include <iostream>

#include "app/upgrade_codes.h"
#include "bundle/file_table.h"
#include "cli/exit_status.h"
#include "platform/files.h"
#include "platform/printable_text.h"
#include "platform/terminal.h"
#include "transfer/tftp_packets.h"

namespace fwu {

ConsoleRun::ConsoleRun(const Arguments& windowArguments, std::vector<std::string> files)
    : files_(std::move(files)),
      dialogs_(loop_, std::cerr),
      notices_(loop_, std::cerr),
      application_(loop_),
      program_(loop_, dialogs_, notices_, application_, windowArguments, ExecutablePath()),
      form_(program_.Form()),
      view_(form_.Models(), std::cout, std::cerr,
            ConsoleView::Options{IsTerminal(StandardStream::Error), [this] { return ShowsLog(); },
                                 [this] {
                                   // TFTP counts blocks, the others bytes.
                                   return form_.UpgradeState() == state::kTftpRunning
                                              ? std::uint64_t{tftp::kBlockSize}
                                              : std::uint64_t{1};
                                 }}),
      // Before anything is extracted, so that no signal can leave the files behind.
      requests_(loop_, [this](const std::string& request) {
        endedBy_ = request;
        form_.EndOnRequest(request);
      }) {}

bool ConsoleRun::ShowsLog() {
  // A file or a pipe gets every line; a person at a terminal asks for them.
  return !IsTerminal(StandardStream::Output) || form_.LogVisible() || form_.CurrentModes().log;
}

int ConsoleRun::Run() {
  started_ = std::chrono::steady_clock::now();
  form_.FormCreate();
  if (form_.StartupFailed()) return exit_status::kBadUsage;
  requests_.CheckNow();
  form_.FormActivate();
  if (form_.StartupFailed()) return exit_status::kBadUsage;  // the control file could not be read
  if (!files_.empty()) {
    dialogs_.AnswerNextChooser(files_);
    form_.BrowseClick();
  }
  const auto modes = form_.CurrentModes();
  facts_.romDownload = modes.get;
  NoteFiles();
  loop_.RunUntil([this] { return form_.Closed() || form_.Idle(); });
  // Nothing started by itself: the user chooses, as in the window.
  if (!(modes.autoRun || modes.get) && !form_.Closed() && !RunAttended() && facts_.fallbackReason.empty())
    facts_.fallbackReason = "the input ended before the upgrade began";
  return Finish();
}

// Files as they are before the run: an unattended run removes the
// extracted ones when it ends.
void ConsoleRun::NoteFiles() {
  facts_.fileNames.clear();
  facts_.bytes = 0;
  if (facts_.romDownload) {
    facts_.fileNames.push_back(form_.Settings().RomFile());
    return;
  }
  for (const FileRow& row : form_.FileList().Rows()) {
    if ((row.attribute & attr::kUpgradeFile) == 0) continue;
    facts_.fileNames.push_back(FileNamePart(row.path));
    facts_.bytes += FileSize(row.path).value_or(0);
  }
}

int ConsoleRun::Finish() {
  requests_.CheckNow();
  const int status = ExitStatus(form_, !endedBy_.empty(), RunDriver::Program);
  facts_.succeeded = status == exit_status::kSucceeded;
  if (!form_.Closed()) form_.ExitClick();
  view_.EndProgressLine();
  facts_.address = form_.SelectedIP().empty() ? chosenAddress_ : form_.SelectedIP();
  facts_.romId = form_.SelectedROMID();
  facts_.upgradeState = form_.UpgradeState();
  facts_.endedBy = endedBy_;
  facts_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  facts_.messages.assign(dialogs_.Shown().begin() + static_cast<std::ptrdiff_t>(messagesBefore_),
                         dialogs_.Shown().end());
  if (facts_.romDownload) facts_.bytes = FileSize(facts_.fileNames.front()).value_or(0);
  if (facts_.fallbackReason.empty()) facts_.fallbackReason = PrintableText(OneLine(form_.Models().StatusBar1.Text()));
  std::cerr << VerdictLine(facts_) << std::endl;
  return status;
}

}  // namespace fwu
