#include "fleet/event_log.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

namespace fwu {

namespace {

// The length of the UTF-8 sequence starting at text[at], or 0 when it is
// not a well-formed one.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5                  ? 4
                                                                            : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

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

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (const std::size_t length = Utf8Length(text, i); length > 1) {
      out.append(text, i, length);
      i += length;
      continue;
    } else if (length == 0) {
      out += "\xEF\xBF\xBD";
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out + "\"";
}

void JsonObject::Key(const std::string& key) {
  if (!fields_.empty()) fields_ += ", ";
  fields_ += JsonString(key) + ": ";
}

JsonObject& JsonObject::Add(const std::string& key, const std::string& value) {
  Key(key);
  fields_ += JsonString(value);
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const char* value) {
  Key(key);
  fields_ += value ? JsonString(value) : "null";
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, double value) {
  Key(key);
  char number[32];
  std::snprintf(number, sizeof number, "%.1f", std::isfinite(value) ? value : 0.0);
  fields_ += number;
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, int value) {
  Key(key);
  fields_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, bool value) {
  Key(key);
  fields_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const std::vector<std::string>& values) {
  Key(key);
  fields_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) fields_ += (i ? ", " : "") + JsonString(values[i]);
  fields_ += ']';
  return *this;
}

JsonObject& JsonObject::AddOptional(const std::string& key, const std::optional<std::string>& value) {
  return value ? Add(key, *value) : Add(key, static_cast<const char*>(nullptr));
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
