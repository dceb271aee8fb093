#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/bytes.h"

namespace fwu {

class LogSink;
struct MessageFile;

// Where a message file is offered: at extraction, or during a transfer.
enum class NoticeContext : int { Menu = 100, Transfer = 101, Tftp = 102 };

// What the callers show when a notice cannot be read or shown; the run
// goes on.
inline constexpr const char* kNoticeFailureText = "Show and Msg File read error";
inline constexpr const char* kNoticeFailureCaption = "File Error";

struct NoticeOffer {
  Bytes content;              // the whole message file: header and RTF
  std::uint16_t attribute = 0;
  NoticeContext context = NoticeContext::Menu;
  LogSink* log = nullptr;     // none in the menu context
  int selectedType = 0;
  std::string selectedRomId;
  std::string path;           // the temporary copy; empty in the menu context
};

// A message file that cannot be read, or a notice window that cannot be shown.
class NoticeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decides whether a notice concerns this run and, if it does, shows it and
// returns when it has closed.
class NoticePresenter {
 public:
  virtual ~NoticePresenter() = default;
  // Reads the message file, decides (ProcessMessageAttribute, which logs to
  // offer.log) and shows the notice when it applies. Throws NoticeError
  // when the file is too short for its header or the notice cannot be shown.
  virtual void Offer(const NoticeOffer& offer);
  // Shows a notice that applies, modally.
  virtual void Show(const MessageFile& notice) = 0;
};

}  // namespace fwu
