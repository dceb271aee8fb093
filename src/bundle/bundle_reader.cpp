#include "bundle/bundle_reader.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "bundle/bundle_layout.h"
#include "bundle/section_letters.h"
#include "notice/notice_presenter.h"
#include "platform/mapped_file.h"
#include "platform/files.h"
#include "ui/dialogs.h"
#include "ui/log_sink.h"

namespace fwu {

namespace {

constexpr const char* kReadImbedFailure = "Error to open file in read_imbed_file function";

MessageRequest Box(std::string text, std::string caption, ButtonSet buttons) {
  return MessageRequest{std::move(text), std::move(caption), buttons, BoxKind::Message};
}

int SaturatedTotal(std::uint64_t total) {
  return static_cast<int>(std::min<std::uint64_t>(total, std::numeric_limits<int>::max()));
}

}  // namespace

BundleReader::BundleReader(Dialogs& dialogs, NoticePresenter& notices) : dialogs_(dialogs), notices_(notices) {}

BundleReader::~BundleReader() { RemoveExtractedFiles(); }

int BundleReader::ReadinputExeFile(const std::string& programPath) {
  RemoveExtractedFiles();
  if (!tempDir_.Valid()) {
    dialogs_.ShowMessage(
        Box("Can not make a private temporary directory in " + tempDir_.Failure(), "Function Error", ButtonSet::Ok));
    return -1;
  }
  const std::string programName = FileNamePart(programPath);
  MappedFile program;
  if (!program.Open(programPath)) {
    dialogs_.ShowMessage(Box("Error to open exeFile : " + programPath, "Function Error", ButtonSet::YesNoCancel));
    return -1;
  }
  switch (ReadBundleLayout(program).status) {
    case BundleStatus::NoBundle:
      return CopyWholeFile(program, tempDir_.PathWithSeparator() + ExtractedFileName(programName, 0));
    case BundleStatus::TrailerUnreadable:
      dialogs_.ShowMessage(Box("Error to open file in ReadinputExeFile!!!", "File Error", ButtonSet::YesNoCancel));
      return -1;
    case BundleStatus::UnsupportedVersion:
      dialogs_.ShowMessage(Box("Please change append tool to version V1.23.", "Version Not support", ButtonSet::Ok));
      return -2;
    default:
      program.Close();
      return ReadImbedFile(programPath, programName);
  }
}

int BundleReader::CopyWholeFile(const MappedFile& program, const std::string& copyPath) {
  if (CopyRange(program, 0, program.Size(), copyPath) != CopyResult::Copied) {
    dialogs_.ShowMessage(Box("Myfilecopy function error >> " + copyPath, "Function Error", ButtonSet::OkCancel));
    return -1;
  }
  table_.Add(FileRow{copyPath, 0, 0});
  return 0;
}

int BundleReader::ReadImbedFile(const std::string& programPath, const std::string& programName) {
  MappedFile program;
  if (!program.Open(programPath)) {
    dialogs_.ShowMessage(Box("Open Imbeded file : " + programPath + "error", "Funtion Error", ButtonSet::YesNoCancel));
    return -1;
  }
  // Read again from this opening: the whole layout is checked before a
  // single byte is extracted.
  const BundleLayout layout = ReadBundleLayout(program);
  switch (layout.status) {
    case BundleStatus::Ok:
      break;
    case BundleStatus::TooManyEntries:
      dialogs_.ShowMessage(Box("Max Add File is 64", "Add AppendFile Error", ButtonSet::YesNoCancel));
      return -1;
    case BundleStatus::UnsafeName:
      dialogs_.ShowMessage(Box("Unsafe file name in bundle : " + layout.badName, "File Error", ButtonSet::Ok));
      return -1;
    default:
      dialogs_.ShowMessage(Box(kReadImbedFailure, "File Error", ButtonSet::YesNoCancel));
      return -1;
  }
  const std::string copyPath = tempDir_.PathWithSeparator() + ProgramCopyName(programName, layout);
  table_.Add(FileRow{copyPath, 0, 0});
  if (CopyRange(program, 0, layout.executableSize, copyPath) != CopyResult::Copied) return -1;
  return ExtractEntries(program, layout);
}

int BundleReader::ExtractEntries(const MappedFile& program, const BundleLayout& layout) {
  std::uint64_t total = 0;
  for (const BundleRecord& record : layout.records) {
    const std::string path = tempDir_.PathWithSeparator() + ExtractedFileName(record.name, record.attribute);
    // Listed before it exists, so that whatever happens it is cleaned up.
    table_.Add(FileRow{path, record.attribute, 1});
    switch (CopyRange(program, record.contentOffset, record.contentLength, path)) {
      case CopyResult::Copied:
        break;
      case CopyResult::CreateFailed:
        dialogs_.ShowMessage(Box("File create error " + path, "File create error", ButtonSet::OkCancel));
        return -1;
      case CopyResult::ReadFailed:
        dialogs_.ShowMessage(Box(kReadImbedFailure, "File Error", ButtonSet::YesNoCancel));
        return -1;
      case CopyResult::WriteFailed:
        dialogs_.ShowMessage(MessageRequest{"Write tmp file Error. Check Disk space !", kSystemDefaultCaption,
                                            ButtonSet::Yes, BoxKind::Error});
        return -1;
    }
    total += record.contentLength;
    if (attr::TypeByte(record.attribute) & attr::TypeByte(attr::kMessageFile)) {
      NoticeOffer offer;
      const std::uint8_t* content = program.View(record.contentOffset, record.contentLength);
      offer.content.assign(content, content + record.contentLength);
      offer.attribute = record.attribute;
      offer.context = NoticeContext::Menu;
      try {
        notices_.Offer(offer);
      } catch (const std::exception&) {
        // A notice that cannot be shown never stops the start.
        dialogs_.ShowMessage(MessageRequest{kNoticeFailureText, kNoticeFailureCaption});
      }
    }
  }
  return SaturatedTotal(total);
}

BundleReader::CopyResult BundleReader::CopyRange(const MappedFile& program, std::uint64_t offset,
                                                 std::uint64_t length, const std::string& target) {
  NewFile file;
  if (!file.Create(target)) return CopyResult::CreateFailed;
  const std::uint8_t* content = program.View(offset, length);
  if (content == nullptr) return CopyResult::ReadFailed;
  if (!file.WriteAll(content, static_cast<std::size_t>(length)) || !file.Close()) return CopyResult::WriteFailed;
  return CopyResult::Copied;
}

void BundleReader::ListToLog(LogSink& log) const {
  for (std::size_t i = 0; i < table_.Count(); ++i) {
    log.AddLine("Imbed file " + std::to_string(i) + " : " + table_[i].path);
    log.AddLine("Imbed File Attrib : " + std::to_string(table_[i].attribute));
  }
}

int BundleReader::CountUpgradeFiles() const {
  return static_cast<int>(std::count_if(table_.Rows().begin(), table_.Rows().end(), [](const FileRow& row) {
    return (row.attribute & attr::kUpgradeFile) != 0;
  }));
}

std::string BundleReader::SectionList() const {
  std::string letters;
  for (const FileRow& row : table_.Rows()) AddSectionLetter(letters, attr::SectionNumber(row.attribute));
  return letters;
}

void BundleReader::CopyFileTable(FileTable& out) const { out = table_; }

void BundleReader::RemoveExtractedFiles() {
  for (const FileRow& row : table_.Rows()) {
    if (!row.path.empty()) RemoveFile(row.path);
  }
  table_.Clear();
}

}  // namespace fwu
