#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fwu {

// A JSON string literal: quotes, backslashes and control characters
// escaped; bytes that are not UTF-8 become U+FFFD, so that every line
// stays valid JSON whatever a router answered.
std::string JsonString(const std::string& text);

// One JSON object, built field by field in the order given: the event log,
// the host checks and whatever else is written for machines.
class JsonObject {
 public:
  JsonObject& Add(const std::string& key, const std::string& value);
  JsonObject& Add(const std::string& key, const char* value);  // nullptr writes null
  JsonObject& Add(const std::string& key, double value);
  JsonObject& Add(const std::string& key, int value);
  JsonObject& Add(const std::string& key, bool value);
  JsonObject& Add(const std::string& key, const std::vector<std::string>& values);
  JsonObject& AddOptional(const std::string& key, const std::optional<std::string>& value);
  JsonObject& AddNull(const std::string& key) { return Add(key, static_cast<const char*>(nullptr)); }
  // value is JSON text already: a nested object or array.
  JsonObject& AddRaw(const std::string& key, const std::string& value);
  std::string Text() const { return "{" + fields_ + "}"; }

 private:
  void Key(const std::string& key);
  std::string fields_;
};

// A JSON array of items that are JSON texts already.
std::string JsonArray(const std::vector<std::string>& items);

}  // namespace fwu
