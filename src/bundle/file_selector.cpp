#include "bundle/file_selector.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "bundle/section_letters.h"
#include "platform/ascii_case.h"
#include "platform/binary_file.h"
#include "platform/files.h"
#include "ui/dialogs.h"
#include "ui/log_sink.h"

namespace fwu {

namespace {

constexpr std::uint8_t kNoIdCheck = 0x01;
constexpr std::uint8_t kIdCheck = 0x02;

}  // namespace

FileSelector::FileSelector(const TransferProfile& profile, const FileTable& files, SelectionTarget target,
                           LogSink& log, NoticePresenter& notices, Dialogs& dialogs)
    : profile_(profile),
      files_(files),
      target_(std::move(target)),
      log_(log),
      notices_(notices),
      dialogs_(dialogs) {}

int FileSelector::Scan(int startRow, SelectionRun& run, bool report) {
  const int count = static_cast<int>(files_.Count());
  const int start = std::max(startRow, 0);
  if (report && profile_.logsRowNumbers) log_.AddLine("File Count : " + std::to_string(count));
  for (int i = start; i < count; ++i) {
    const FileRow& row = files_[static_cast<std::size_t>(i)];
    if (report) {
      if (profile_.logsRowNumbers) log_.AddLine("i= " + std::to_string(i));
      log_.AddLine("File Attribute : " + std::to_string(row.attribute));
    }
    const std::uint8_t type = attr::TypeByte(row.attribute);
    if (type & attr::TypeByte(attr::kMessageFile)) {
      // Notices belong to the reported scan that really passes them.
      if (report && !OfferMessageFile(row, run)) {
        run.failedMessageRow = i;
        return SelectionResult::kMessageFileError;
      }
      continue;
    }
    if (type & attr::TypeByte(attr::kUpgradeFile)) {
      const Decision decision = DecideUpgradeFile(row, run.moduleFilePut);
      if (report) log_.AddLine(decision.logText + row.path);
      if (decision.verdict == Verdict::Skip) continue;
      AddSectionLetter(run.upgradeSection, attr::SectionNumber(row.attribute));
      ++run.putCount;
      return i;
    }
    if (report && row.attribute != 0) log_.AddLine("Unknow File Attribute -> " + std::to_string(row.attribute));
  }
  return EndOfTable(start, run);
}

FileSelector::Decision FileSelector::DecideUpgradeFile(const FileRow& row, bool& moduleFilePut) const {
  const std::uint8_t check = attr::CheckByte(row.attribute);
  const bool noIdCheck = check & kNoIdCheck;
  const bool idCheck = check & kIdCheck;
  constexpr const char* kUnknown = "Unkown Attribute. Ignore Upgrade File >>";
  if (!(check & profile_.enableBit)) {
    if (profile_.unknownBeforeDisabled && !noIdCheck && !idCheck) return {Verdict::Skip, kUnknown};
    return {Verdict::Skip, profile_.disabledText};
  }
  if (noIdCheck && idCheck) {
    if (moduleFilePut) {
      moduleFilePut = false;
      return {Verdict::Skip, "Default Upgrade File Ignore >>"};
    }
    return {Verdict::Put, "Put Default Upgrade File >>"};
  }
  if (noIdCheck) return {Verdict::Put, "Put Upgrade File without IDCheck >>"};
  if (idCheck) {
    if (!NameMatches(row.path)) return {Verdict::Skip, "Module name different. Ignore Upgrade File >>"};
    moduleFilePut = true;
    return {Verdict::Put, "Put Upgrade File >>"};
  }
  return {Verdict::Skip, kUnknown};
}

bool FileSelector::NameMatches(const std::string& path) const {
  return AsciiUpper(FileNamePart(path)).starts_with(AsciiUpper(target_.selectedRomId));
}

bool FileSelector::OfferMessageFile(const FileRow& row, SelectionRun& run) {
  ReadOnlyFile file;
  if (!file.Open(row.path)) {
    const std::string line = "Message file onen error : " + row.path;
    log_.AddLine(line);
    if (profile_.reportsMessageOpenError) run.errorText = line;
    return false;
  }
  NoticeOffer offer;
  offer.content.resize(static_cast<std::size_t>(file.Size()));
  bool shown = file.ReadAt(0, offer.content.data(), offer.content.size());
  if (shown) {
    log_.AddLine("Show Message to User : " + row.path);
    offer.attribute = row.attribute;
    offer.context = profile_.noticeContext;
    offer.log = &log_;
    offer.selectedType = target_.selectedType;
    offer.selectedRomId = target_.selectedRomId;
    offer.path = row.path;
    try {
      notices_.Offer(offer);
    } catch (const std::exception&) {
      shown = false;
    }
  }
  // A notice that cannot be shown never stops the upgrade.
  if (!shown) dialogs_.ShowMessage(MessageRequest{kNoticeFailureText, kNoticeFailureCaption});
  return true;
}

int FileSelector::EndOfTable(int startRow, SelectionRun& run) const {
  if (profile_.endNeedsPutFile) {
    return startRow != 0 && run.putCount != 0 ? SelectionResult::kNoMoreFiles : SelectionResult::kNothingToSend;
  }
  if (startRow != 0) return SelectionResult::kNoMoreFiles;
  if (profile_.reportsNothingToSend) run.errorText = "ignore all files error";
  return SelectionResult::kNothingToSend;
}

}  // namespace fwu
