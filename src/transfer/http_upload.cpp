// The HTTP upgrade run of HttpClient: one multipart POST carrying every
// selected file, then the router's verdict.
#include <algorithm>
#include <vector>

#include "platform/binary_file.h"
#include "platform/clock.h"
#include "transfer/http_client.h"
#include "transfer/transfer_view.h"
#include "transfer/upload_total.h"
#include "transfer/upgrade_verdict.h"

namespace fwu {
namespace {

// Files go out in pieces of this size, straight from the system's copy of
// the file: large enough that the socket, not the system calls, sets the
// pace, small enough that progress shows while a large image travels.
constexpr std::int64_t kStreamPiece = 1 << 20;

// The router flashes what it received before it answers; the reply is read
// only after this pause.
constexpr std::int64_t kPauseBeforeReplyMs = 300;

}  // namespace

int HttpClient::UploadFiles(std::atomic<std::int16_t>& stopCounter, TransferView& view, const FileTable& files,
                            const std::string& host, std::uint16_t port, const std::string& romId,
                            int deviceType, NoticePresenter& notices, Dialogs& dialogs) {
  UploadCount_ = 0;
  run_.Reset();
  view_ = &view;
  stopCounter_ = &stopCounter;
  files_ = &files;
  selector_ = std::make_unique<FileSelector>(kHttpProfile, files, SelectionTarget{romId, deviceType}, view,
                                             notices, dialogs);
  if (OpenAndConnect(host, port) < 0) return -1;
  return RunUpload();
}

int HttpClient::RunUpload() {
  totalLength_ = TotalUploadLength();
  if (totalLength_ < 0) {
    view_->AddLine(ResultText_);
    return -1;
  }
  view_->ResetProgress(totalLength_);
  std::string header;
  BuildPostHeader(header, totalLength_);
  if (link_.SendAll(header.data(), static_cast<std::int64_t>(header.size()), view_) < 0) {
    return FailWithLinkError();
  }
  view_->SetStatus("Upgrading! Do NOT exit or power off the device.");
  run_.moduleFilePut = false;
  CurrentIndex_ = -1;
  for (;;) {
    CurrentIndex_ = selector_->SelectNextFile(CurrentIndex_ + 1, run_);
    if (CurrentIndex_ == SelectionResult::kNoMoreFiles) {
      view_->AddLine("Total upgrade file count in HTTP mode: " + std::to_string(UploadCount_));
      SleepMs(kPauseBeforeReplyMs);
      return CheckUpgradeResult();
    }
    if (CurrentIndex_ == SelectionResult::kNothingToSend) {
      ResultText_ = "HTTP upgrade Failure !";
      return -1;
    }
    if (!SelectionResult::IsRow(CurrentIndex_)) {
      ResultText_ = "Open upgrade file error !";
      return -1;
    }
    // The look-ahead tells whether the closing text follows this file.
    const bool last = selector_->PeekNextFile(CurrentIndex_ + 1, run_) == SelectionResult::kNoMoreFiles;
    if (SendSelectedFile((*files_)[static_cast<std::size_t>(CurrentIndex_)].path, last) < 0) return -1;
  }
}

int HttpClient::SendSelectedFile(const std::string& path, bool last) {
  ReadOnlyFile file;
  if (!file.Open(path)) {
    ResultText_ = "Upgrade File Length Error.";
    view_->AddLine(ResultText_);
    return -1;
  }
  const auto size = static_cast<std::int64_t>(file.Size());
  if (last) view_->AddLine("Send end char");
  const auto sendFailed = [this] {
    view_->AddLine("Error :" + link_.LastErrorText());
    ResultText_ = link_.LastErrorText();
    return -1;
  };
  for (std::int64_t offset = 0; offset < size; offset += kStreamPiece) {
    if (link_.SendFile(file, static_cast<std::uint64_t>(offset), std::min(size - offset, kStreamPiece), view_) < 0) {
      return sendFailed();
    }
    // Every piece that left is progress: a large image on a slow link must
    // not look stalled to the watchdog.
    stopCounter_->store(0);
  }
  std::int64_t sent = size;
  if (last) {
    if (link_.SendAll(kClosingText.data(), static_cast<std::int64_t>(kClosingText.size()), view_) < 0) {
      return sendFailed();
    }
    sent += static_cast<std::int64_t>(kClosingText.size());
  }
  ++UploadCount_;
  view_->AddLine("Send Bin File Length : " + std::to_string(sent));
  return 1;
}

std::int64_t HttpClient::TotalUploadLength() {
  return fwu::TotalUploadLength(*selector_, *files_, kHttpProfile.enableBit, *view_, ResultText_);
}

std::size_t HttpClient::BuildPostHeader(std::string& out, std::int64_t totalLength) const {
  const std::int64_t contentLength =
      totalLength + static_cast<std::int64_t>(kPartHeader.size() + kClosingText.size());
  out = "POST /upg HTTP/1.0\r\nUser-Agent: Vantrel_Agent\r\nConnection: Keep-Alive\r\n"
        "Content-Type: multipart/form-data: boundary=-----------------123456789\r\nContent-Length: " +
        std::to_string(contentLength) + "\r\n\r\n" + std::string(kPartHeader);
  return out.size();
}

int HttpClient::CheckUpgradeResult() {
  std::vector<char> reply(static_cast<std::size_t>(kReplyCapacity), '\0');
  const std::int64_t count = ReceiveResponse(reply.data(), kReplyCapacity);
  if (count < 0) {
    view_->AddLine("receive response error");
    ResultText_ = "receive response error in upgrade";
    view_->SetStatus("Upgrade Failure");
    return -1;
  }
  const UpgradeVerdict verdict = JudgeUpgradeReply(std::string_view(reply.data(), static_cast<std::size_t>(count)));
  view_->AddLine(verdict.logLine);
  ResultText_ = verdict.resultText;
  if (verdict.status) view_->SetStatus(*verdict.status);
  return verdict.result;
}

}  // namespace fwu
