#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fwu {

// Text in double quotes with JSON's escapes. Control characters become
// \u00XX; other bytes pass as they are, so UTF-8 stays UTF-8.
std::string JsonString(std::string_view text);

// One JSON object written member by member, in the order added, for the
// machine-readable outputs (search results, host checks, event logs).
class JsonObject {
 public:
  JsonObject& Add(std::string_view key, std::string_view value);
  JsonObject& Add(std::string_view key, const char* value) { return Add(key, std::string_view(value)); }
  JsonObject& Add(std::string_view key, bool value);
  JsonObject& Add(std::string_view key, std::int64_t value);
  JsonObject& Add(std::string_view key, int value) { return Add(key, static_cast<std::int64_t>(value)); }
  JsonObject& AddNull(std::string_view key);
  // value is JSON text already: a nested object or array.
  JsonObject& AddRaw(std::string_view key, std::string_view value);

  std::string Text() const { return members_.empty() ? "{}" : members_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string members_;
};

// items are JSON texts already.
std::string JsonArray(const std::vector<std::string>& items);

}  // namespace fwu
