#include "platform/json_text.h"

#include <cstdio>

namespace fwu {

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

void JsonObject::Key(std::string_view key) {
  members_ += members_.empty() ? "{" : ",";
  members_ += JsonString(key) + ":";
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view value) { return AddRaw(key, JsonString(value)); }

JsonObject& JsonObject::Add(std::string_view key, bool value) { return AddRaw(key, value ? "true" : "false"); }

JsonObject& JsonObject::Add(std::string_view key, std::int64_t value) { return AddRaw(key, std::to_string(value)); }

JsonObject& JsonObject::AddNull(std::string_view key) { return AddRaw(key, "null"); }

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view value) {
  Key(key);
  members_ += value;
  return *this;
}

std::string JsonArray(const std::vector<std::string>& items) {
  std::string text = "[";
  for (std::size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "" : ",") + items[i];
  return text + "]";
}

}  // namespace fwu
