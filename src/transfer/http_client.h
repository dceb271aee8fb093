#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "bundle/file_selector.h"
#include "platform/tcp_socket.h"
#include "transfer/tcp_link.h"

namespace fwu {

class Dialogs;
class NoticePresenter;
class TransferView;

// One HTTP procedure against a router's web server (the login's exchanges,
// one upgrade run, one ROM fetch), over a connection of its own. Steps
// return a non-negative value on success and -1 on failure; the reason is
// left in ResultText().
class HttpClient {
 public:
  // Every byte of the POST body after the selected files' bytes: the part
  // header and the closing text.
  static constexpr std::string_view kPartHeader =
      "-----------------123456789\r\nContent-Disposition: from-data; name=\"FN\"; filename=\"upgrade.bin\" "
      "\r\nContent-Type: application/octet-stream \r\n\r\n";
  static constexpr std::string_view kClosingText = "\r\n----\r\n";
  // Longest reply to an upgrade that is read (and the buffer it goes to).
  static constexpr std::int64_t kReplyCapacity = 1465;

  explicit HttpClient(LinkDeadlines deadlines = {});
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Opens a connection to address:port and sends the request on it.
  int SendRequest(std::string_view request, const std::string& address, std::uint16_t port);
  // Reads until the peer closes; the byte count, or -1.
  std::int64_t ReceiveResponse(char* buffer, std::int64_t capacity, PeerEndpoint* peer = nullptr);
  // A body shorter than expectedBody bytes is a failure.
  std::int64_t ReceiveResponseToFile(const std::string& fileName, std::int64_t expectedBody = 0,
                                     PeerEndpoint* peer = nullptr);

  // One upgrade run: every file the selection rules pick, in one multipart
  // POST to "/upg", then the router's verdict. 1 or -1. Message files met on
  // the way are offered through notices; dialogs shows what goes wrong with
  // them.
  int UploadFiles(std::atomic<std::int16_t>& stopCounter, TransferView& view, const FileTable& files,
                  const std::string& host, std::uint16_t port, const std::string& romId, int deviceType,
                  NoticePresenter& notices, Dialogs& dialogs);

  // A stretch of the router's ROM data into fileName (the body of a GET of
  // "/config.bin"). 1 or -1.
  int GetRomFile(TransferView& view, const std::string& host, std::uint16_t port, const std::string& fileName,
                 const std::string& password, std::int64_t romOffset, std::int64_t romLength,
                 const std::string& romOffsetText, const std::string& romLengthText);

  // Sum of the sizes of the files the run will put, or -1. Needs the run's
  // selector (set up by UploadFiles).
  std::int64_t TotalUploadLength();
  // Request header and part header for a body carrying totalLength bytes of
  // files; returns the text's length.
  std::size_t BuildPostHeader(std::string& out, std::int64_t totalLength) const;
  // Reads and judges the router's reply: 1 or -1.
  int CheckUpgradeResult();

  // Any thread: ends the connection; the running procedure fails soon.
  void Abort() { link_.Abort(); }

  const std::string& ResultText() const { return ResultText_; }
  int UploadCount() const { return UploadCount_; }
  // Section letters of the files put in the last upgrade run.
  const std::string& UpgradeSection() const { return run_.upgradeSection; }

 private:
  // Open and connect, reporting a failure as both procedures do.
  int OpenAndConnect(const std::string& host, std::uint16_t port);
  int FailWithLinkError();
  // Sends one selected file (and the closing text after the last one).
  int SendSelectedFile(const std::string& path, bool last);
  int RunUpload();

  TcpLink link_;
  std::string ResultText_;
  int UploadCount_ = 0;

  // State of one upgrade run.
  TransferView* view_ = nullptr;
  std::atomic<std::int16_t>* stopCounter_ = nullptr;
  const FileTable* files_ = nullptr;
  std::unique_ptr<FileSelector> selector_;
  SelectionRun run_;
  int CurrentIndex_ = -1;
  std::int64_t totalLength_ = 0;
};

}  // namespace fwu
