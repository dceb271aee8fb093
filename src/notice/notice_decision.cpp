#include "notice/notice_decision.h"

#include "notice/message_file.h"
#include "platform/ascii_case.h"
#include "platform/files.h"
#include "ui/log_sink.h"

namespace fwu {

namespace {

constexpr std::uint8_t kShowUnchecked = 0x01;
constexpr std::uint8_t kShowAfterNameCheck = 0x02;

// The attribute word is logged as the signed number it was in the original.
void LogRefusal(LogSink* log, const std::string& reason, const std::string& path, std::uint16_t attribute) {
  if (log == nullptr) return;
  log->AddLine(reason + path);
  log->AddLine("Message Attribute > " + std::to_string(static_cast<std::int16_t>(attribute)));
}

bool MenuNoticeApplies(const MessageFile& notice, std::uint8_t check) {
  if (notice.noTftpFlag == 0 || notice.noFtpFlag == 0) return false;
  if (check & kShowUnchecked) return true;
  if (!(check & kShowAfterNameCheck)) return false;
  return notice.messageName.size() > MakerCode.size() && notice.messageName.starts_with(MakerCode);
}

}  // namespace

bool ProcessMessageAttribute(const MessageFile& notice, LogSink* log, std::uint16_t attribute,
                             NoticeContext context, const std::string& selectedRomId, const std::string& path) {
  const auto check = static_cast<std::uint8_t>(attribute & 0xFF);
  if (context == NoticeContext::Menu) return MenuNoticeApplies(notice, check);

  const bool tftp = context == NoticeContext::Tftp;
  if ((tftp ? notice.noTftpFlag : notice.noFtpFlag) != 0) {
    LogRefusal(log, tftp ? "Unknow Message File in TFTP Mode >>" : "Unknow Message File in FTP Mode >>", path,
               attribute);
    return false;
  }
  if (check & kShowUnchecked) return true;
  if (!(check & kShowAfterNameCheck)) return false;
  if (AsciiUpper(FileNamePart(path)).starts_with(AsciiUpper(selectedRomId))) return true;
  LogRefusal(log, "Message name different. Ignore Message File >>", path, attribute);
  return false;
}

}  // namespace fwu
