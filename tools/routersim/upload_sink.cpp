#include "upload_sink.h"

#include <cctype>
#include <cerrno>
#include <cstring>

namespace fwu {

namespace {

constexpr std::string_view kClosingText = "\r\n----\r\n";
constexpr std::string_view kPartHeaderEnd = "\r\n\r\n";
// A part header longer than this is no part header; what came is taken as image.
constexpr std::size_t kMaxPartHeader = 4096;

}  // namespace

std::string SafeUploadName(std::string_view partHeader) {
  constexpr std::string_view kKey = "filename=\"";
  const auto start = partHeader.find(kKey);
  std::string name;
  if (start != std::string_view::npos) {
    const auto valueStart = start + kKey.size();
    const auto valueEnd = partHeader.find('"', valueStart);
    name = std::string(partHeader.substr(valueStart, valueEnd == std::string_view::npos
                                                         ? std::string_view::npos
                                                         : valueEnd - valueStart));
  }
  return SafeBaseName(name);
}

std::string SafeBaseName(std::string name) {
  // Only the last path component, of plain characters: a router name must
  // never write outside the store directory.
  const auto slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  for (char& c : name) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
    if (!plain) c = '_';
  }
  if (name.empty() || name.find_first_not_of('.') == std::string::npos) name = "upload.bin";
  return name;
}

UploadSink::UploadSink(std::string storeDir, int sequence) : storeDir_(std::move(storeDir)), sequence_(sequence) {}

UploadSink::~UploadSink() = default;

std::string UploadSink::ParsePartHeader() {
  fileName_ = SafeUploadName(header_);
  if (storeDir_.empty()) return {};
  storedPath_ = storeDir_ + "/" + std::to_string(sequence_) + "-" + fileName_;
  file_.open(storedPath_, std::ios::binary | std::ios::trunc);
  if (!file_) return "cannot create " + storedPath_ + ": " + std::strerror(errno);
  return {};
}

std::string UploadSink::WriteImage(std::string_view bytes) {
  imageBytes_ += bytes.size();
  if (!file_.is_open() || bytes.empty()) return {};
  if (!file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return WriteFailure();
  return {};
}

std::string UploadSink::WriteFailure() const {
  return "cannot write " + storedPath_ + ": " + std::strerror(errno);
}

std::string UploadSink::Feed(std::string_view bytes) {
  if (headerDone_) return FeedImage(bytes);
  header_.append(bytes);
  const auto end = header_.find(kPartHeaderEnd);
  if (end == std::string::npos && header_.size() < kMaxPartHeader) return {};
  headerDone_ = true;
  std::string rest;
  if (end == std::string::npos) {
    rest.swap(header_);  // no part header at all: everything is image data
  } else {
    rest = header_.substr(end + kPartHeaderEnd.size());
    header_.resize(end + kPartHeaderEnd.size());
  }
  if (std::string error = ParsePartHeader(); !error.empty()) return error;
  return FeedImage(rest);
}

std::string UploadSink::FeedImage(std::string_view bytes) {
  // Keep the last bytes back; everything before them is surely image data.
  if (bytes.size() >= kClosingText.size()) {
    std::string error = WriteImage(tail_);
    if (error.empty()) error = WriteImage(bytes.substr(0, bytes.size() - kClosingText.size()));
    tail_.assign(bytes.substr(bytes.size() - kClosingText.size()));
    return error;
  }
  tail_.append(bytes);
  if (tail_.size() <= kClosingText.size()) return {};
  const std::size_t spill = tail_.size() - kClosingText.size();
  std::string error = WriteImage(std::string_view(tail_).substr(0, spill));
  tail_.erase(0, spill);
  return error;
}

std::string UploadSink::Finish() {
  closingSeen_ = tail_ == kClosingText;
  std::string error;
  if (!closingSeen_) error = WriteImage(tail_);
  tail_.clear();
  if (file_.is_open()) {
    // The last bytes may still wait in the stream's buffer.
    file_.close();
    if (!file_ && error.empty()) error = WriteFailure();
  }
  return error;
}

}  // namespace fwu
