#include "fleet/event_log.h"

#include <cerrno>
#include <chrono>
#include <cstring>

namespace fwu {

std::string UtcTimestamp(bool basic) {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day date{day};
  const hh_mm_ss time{now - day};
  char text[32];
  std::snprintf(text, sizeof text, basic ? "%04d%02u%02uT%02d%02d%02dZ" : "%04d-%02u-%02uT%02d:%02d:%02dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
  return text;
}

EventLog::~EventLog() {
  if (file_) std::fclose(file_);
}

bool EventLog::Open(const std::string& path, std::string& error) {
  file_ = std::fopen(path.c_str(), "a");
  if (!file_) error = path + ": " + std::strerror(errno);
  return file_ != nullptr;
}

void EventLog::Write(const std::string& event, const std::optional<std::string>& address, const JsonObject& fields) {
  if (!file_) return;
  JsonObject head;
  head.Add("event", event).Add("time", UtcTimestamp());
  if (address) head.Add("address", *address);
  std::string line = head.Text();
  const std::string rest = fields.Text();
  if (rest.size() > 2) line.insert(line.size() - 1, ", " + rest.substr(1, rest.size() - 2));
  line += '\n';
  // One write per line, flushed: a run that is killed leaves whole lines.
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace fwu
