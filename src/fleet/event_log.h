#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/json_text.h"

namespace fwu {

// The time now in UTC: "2026-12-09T08:57:31Z" (extended) or
// "20261209T085731Z" (basic, for file names).
std::string UtcTimestamp(bool basic = false);

// The JSON Lines event log of --log FILE: appended to, one object per
// event, each with "event", "time" and, where there is one, "address",
// then the event's own fields. Every verb that takes --log writes this.
class EventLog {
 public:
  EventLog() = default;
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // False, with the system's reason in error, when the file cannot be
  // opened for appending.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return file_ != nullptr; }
  // Nothing happens while no file is open.
  void Write(const std::string& event, const std::optional<std::string>& address, const JsonObject& fields = {});

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace fwu
