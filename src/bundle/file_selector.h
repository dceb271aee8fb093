#pragma once

#include <cstdint>
#include <string>

#include "bundle/file_table.h"
#include "notice/notice_presenter.h"

namespace fwu {

class Dialogs;
class LogSink;

// How one transfer method applies the selection rules. The rules are the
// same for all; only these points differ.
struct TransferProfile {
  // Check-byte bit that admits a file to this method, and the log text for
  // a file that lacks it.
  std::uint8_t enableBit;
  const char* disabledText;
  // Context in which message files met on the way are offered.
  NoticeContext noticeContext;
  // Whether "File Count : " and "i= " lines are logged.
  bool logsRowNumbers;
  // Whether the end of the table counts as success only when this run put a
  // file (otherwise any scan that did not start at row 0 ends successfully).
  bool endNeedsPutFile;
  // Whether "nothing to send" and an unreadable message file leave their
  // text in the run's error text (the message-file case only for HTTP).
  bool reportsNothingToSend;
  bool reportsMessageOpenError;
  // HTTP logs a file that lacks its enable bit and both ID-check bits as an
  // unknown attribute rather than as disabled.
  bool unknownBeforeDisabled;
};

inline constexpr const char* kNormalDisabledText = "Ignore Upgrade File for Normal check disable >>";
inline constexpr TransferProfile kHttpProfile{.enableBit = 0x04,
                                              .disabledText = kNormalDisabledText,
                                              .noticeContext = NoticeContext::Transfer,
                                              .logsRowNumbers = true,
                                              .endNeedsPutFile = false,
                                              .reportsNothingToSend = true,
                                              .reportsMessageOpenError = true,
                                              .unknownBeforeDisabled = true};
inline constexpr TransferProfile kFtpProfile{.enableBit = 0x04,
                                             .disabledText = kNormalDisabledText,
                                             .noticeContext = NoticeContext::Transfer,
                                             .logsRowNumbers = true,
                                             .endNeedsPutFile = false,
                                             .reportsNothingToSend = true,
                                             .reportsMessageOpenError = false,
                                             .unknownBeforeDisabled = false};
inline constexpr TransferProfile kTftpProfile{.enableBit = 0x08,
                                              .disabledText = "Ignore Upgrade File for TFTP check disable >>",
                                              .noticeContext = NoticeContext::Tftp,
                                              .logsRowNumbers = false,
                                              .endNeedsPutFile = true,
                                              .reportsNothingToSend = false,
                                              .reportsMessageOpenError = false,
                                              .unknownBeforeDisabled = false};

// What one transfer run carries from scan to scan. The transfer owns it and
// calls Reset() before the first scan of a run.
struct SelectionRun {
  // Set when a file matched by ROM ID was put; the next default file is
  // then skipped, which clears it.
  bool moduleFilePut = false;
  // Section letters of the files put, each once (at most 15).
  std::string upgradeSection;
  int putCount = 0;
  // Why the run failed, for the transfer to show ("ignore all files error").
  std::string errorText;
  // The message file a scan could not open (its kMessageFileError), so
  // that the next scan can start after it.
  int failedMessageRow = -1;

  void Reset() { *this = SelectionRun{}; }
};

// The router this run upgrades.
struct SelectionTarget {
  std::string selectedRomId;  // compared with file names; empty matches all
  int selectedType = 0;       // its search status, passed to the notice window
};

// The one scan of the file table that every transfer method uses to pick
// its next file.
//
//   FileSelector selector(kFtpProfile, fileList, target, log, notices, dialogs);
//   SelectionRun run;
//   for (int row = selector.SelectNextFile(0, run); SelectionResult::IsRow(row);
//        row = selector.SelectNextFile(row + 1, run)) {
//     send fileList[row].path;
//   }
//   // the last result: kNoMoreFiles (done), kNothingToSend or kMessageFileError
//
// A reported scan logs its reasoning, offers the message files it passes to
// the notice presenter and updates `run`. A silent scan (PeekNextFile) does
// none of that and answers what the next reported scan from the same row
// would answer, so HTTP can tell whether a file is the last one.
namespace SelectionResult {
inline constexpr int kMessageFileError = -1;
inline constexpr int kNoMoreFiles = 1001;
inline constexpr int kNothingToSend = 1002;
inline constexpr bool IsRow(int result) { return result >= 0 && result < static_cast<int>(FileTable::kCapacity); }
}  // namespace SelectionResult

class FileSelector {
 public:
  FileSelector(const TransferProfile& profile, const FileTable& files, SelectionTarget target, LogSink& log,
               NoticePresenter& notices, Dialogs& dialogs);

  // A row to send, or one of SelectionResult's codes.
  int SelectNextFile(int startRow, SelectionRun& run) { return Scan(startRow, run, true); }
  int PeekNextFile(int startRow, const SelectionRun& run) {
    SelectionRun scratch = run;
    return Scan(startRow, scratch, false);
  }
  // A silent scan that carries `run` on, for a pass over the whole run
  // ahead of it (the total length to send).
  int SilentNextFile(int startRow, SelectionRun& run) { return Scan(startRow, run, false); }

 private:
  enum class Verdict { Put, Skip };
  struct Decision {
    Verdict verdict;
    const char* logText;
  };

  // The selection table for one upgrade file; may clear `moduleFilePut`
  // (line 2) or set it (line 5).
  Decision DecideUpgradeFile(const FileRow& row, bool& moduleFilePut) const;
  bool NameMatches(const std::string& path) const;
  int Scan(int startRow, SelectionRun& run, bool report);
  // Returns false when the message file could not be opened.
  bool OfferMessageFile(const FileRow& row, SelectionRun& run);
  int EndOfTable(int startRow, SelectionRun& run) const;

  const TransferProfile profile_;
  const FileTable& files_;
  const SelectionTarget target_;
  LogSink& log_;
  NoticePresenter& notices_;
  Dialogs& dialogs_;
};

}  // namespace fwu
