#include "platform/json_text.h"

#include <cmath>
#include <cstdio>

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

JsonObject& JsonObject::AddRaw(const std::string& key, const std::string& value) {
  Key(key);
  fields_ += value;
  return *this;
}

std::string JsonArray(const std::vector<std::string>& items) {
  std::string text = "[";
  for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + items[i];
  return text + "]";
}

}  // namespace fwu
