#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace fwu {

// The body of the upgrader's POST to "/upg": one part header, the images
// back to back, then the closing text "\r\n----\r\n". The images are
// streamed to a file as they come (a 32 MB upload is never held in memory);
// only the last 8 bytes are held back until the body ends, since they may be
// the closing text rather than image bytes.
class UploadSink {
 public:
  // storeDir empty: bytes are counted, not kept. Otherwise the image goes to
  // storeDir/<sequence>-<file name from the part header>.
  explicit UploadSink(std::string storeDir, int sequence);
  ~UploadSink();
  UploadSink(const UploadSink&) = delete;
  UploadSink& operator=(const UploadSink&) = delete;

  // Returns an error text (e.g. the disk is full), empty on success.
  std::string Feed(std::string_view bytes);
  // The body has ended: decide whether the held-back tail was the closing
  // text, and write it out as image bytes when it was not.
  std::string Finish();

  const std::string& FileName() const { return fileName_; }
  std::uint64_t ImageBytes() const { return imageBytes_; }
  bool PartHeaderSeen() const { return headerDone_; }
  bool ClosingTextSeen() const { return closingSeen_; }
  const std::string& StoredPath() const { return storedPath_; }

 private:
  std::string ParsePartHeader();
  std::string FeedImage(std::string_view bytes);
  std::string WriteImage(std::string_view bytes);
  std::string WriteFailure() const;

  std::string storeDir_;
  int sequence_;
  std::string header_;  // part header bytes until its empty line
  bool headerDone_ = false;
  std::string tail_;    // held-back bytes, at most the closing text's length
  std::string fileName_;
  std::string storedPath_;
  std::ofstream file_;
  std::uint64_t imageBytes_ = 0;
  bool closingSeen_ = false;
};

// The file name from a part header's filename="..." reduced to a safe base
// name: no directory parts, no traversal, only plain characters.
std::string SafeUploadName(std::string_view partHeader);
// The same reduction for a name that arrived on its own (a TFTP request).
std::string SafeBaseName(std::string name);

}  // namespace fwu
