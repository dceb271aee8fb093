#include "switch_table.h"

#include <charconv>

namespace fwu {

void SwitchTable::Add(std::string name, std::string valueName, std::string help, Apply apply) {
  switches_.push_back({std::move(name), std::move(valueName), std::move(help), std::move(apply)});
}

const SwitchTable::Switch* SwitchTable::Find(const std::string& name) const {
  for (const auto& entry : switches_) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

std::string SwitchTable::Parse(const std::vector<std::string>& args) const {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Switch* entry = Find(args[i]);
    if (entry == nullptr) return "unknown switch " + args[i];
    std::string value;
    if (!entry->valueName.empty()) {
      if (i + 1 >= args.size()) return args[i] + " needs " + entry->valueName;
      value = args[++i];
    }
    const std::string error = entry->apply(value);
    if (!error.empty()) return args[i - (entry->valueName.empty() ? 0 : 1)] + ": " + error;
  }
  return {};
}

std::string SwitchTable::HelpText() const {
  std::string text;
  for (const auto& entry : switches_) {
    std::string head = "  " + entry.name;
    if (!entry.valueName.empty()) head += " " + entry.valueName;
    if (head.size() < 28) head.resize(28, ' ');
    else head += "\n" + std::string(28, ' ');
    text += head + entry.help + "\n";
  }
  return text;
}

bool ParseNumber(const std::string& text, long long min, long long max, long long& value) {
  long long parsed = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (text.empty() || ec != std::errc() || ptr != end || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

SwitchTable::Apply PortSwitch(std::uint16_t& port) {
  return [&port](const std::string& v) {
    long long number = 0;
    if (!ParseNumber(v, 1, 65535, number)) return std::string("want a port 1..65535");
    port = static_cast<std::uint16_t>(number);
    return std::string();
  };
}

SwitchTable::Apply ByteCountSwitch(std::optional<std::uint64_t>& count) {
  return [&count](const std::string& v) {
    long long number = 0;
    if (!ParseNumber(v, 0, 1LL << 40, number)) return std::string("want a byte count");
    count = static_cast<std::uint64_t>(number);
    return std::string();
  };
}

}  // namespace fwu
