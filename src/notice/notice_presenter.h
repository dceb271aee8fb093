#pragma once

#include <cstdint>
#include <string>

#include "platform/bytes.h"

namespace fwu {

class LogSink;

// Where a message file is offered: at extraction, or during a transfer.
enum class NoticeContext : int { Menu = 100, Transfer = 101, Tftp = 102 };

struct NoticeOffer {
  Bytes content;              // the whole message file: header and RTF
  std::uint16_t attribute = 0;
  NoticeContext context = NoticeContext::Menu;
  LogSink* log = nullptr;     // none in the menu context
  int selectedType = 0;
  std::string selectedRomId;
  std::string path;           // the temporary copy; empty in the menu context
};

// Decides whether a notice concerns this run and, if it does, shows it and
// returns when it has closed.
class NoticePresenter {
 public:
  virtual ~NoticePresenter() = default;
  virtual void Offer(const NoticeOffer& offer) = 0;
};

}  // namespace fwu
