#include "tool_support.h"

#include <cctype>
#include <optional>

#include "platform/binary_file.h"
#include "platform/files.h"

namespace fwu::tool {

std::string ParsedOptions::Value(const std::string& name, const std::string& fallback) const {
  const auto found = values_.find(name);
  return found == values_.end() ? fallback : found->second.front();
}

std::string ParsedOptions::Required(const std::string& name) const {
  if (!Has(name)) throw UsageError("missing " + name);
  return Value(name);
}

std::vector<std::string> ParsedOptions::Values(const std::string& name) const {
  const auto found = values_.find(name);
  return found == values_.end() ? std::vector<std::string>{} : found->second;
}

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<OptionRule>& rules) {
  ParsedOptions parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    if (name == "--help" || name == "-h") {
      parsed.help_ = true;
      continue;
    }
    if (name.size() < 2 || name[0] != '-') {
      parsed.positionals_.push_back(name);
      continue;
    }
    std::string value;
    bool hasInlineValue = false;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      hasInlineValue = true;
    }
    const OptionRule* option = nullptr;
    for (const OptionRule& candidate : rules) {
      if (candidate.name == name) option = &candidate;
    }
    if (!option) throw UsageError("unknown option " + name);
    if (option->takesValue && !hasInlineValue) {
      if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
      value = args[++i];
    }
    if (!option->takesValue && hasInlineValue) throw UsageError(name + " takes no value");
    if (!option->repeatable && parsed.Has(name)) throw UsageError(name + " given twice");
    parsed.values_[name].push_back(value);
  }
  return parsed;
}

std::uint64_t ParseNumber(const std::string& text, std::uint64_t max, const std::string& what) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const int base = hex ? 16 : 10;
  if (digits.empty()) throw UsageError(what + ": \"" + text + "\" is not a number");
  std::uint64_t value = 0;
  for (const char c : digits) {
    const bool valid = hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
    if (!valid) throw UsageError(what + ": \"" + text + "\" is not a number");
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
    const auto digitValue = static_cast<std::uint64_t>(digit);
    if (digitValue > max || value > (max - digitValue) / static_cast<std::uint64_t>(base)) {
      throw UsageError(what + ": " + text + " is larger than " + std::to_string(max));
    }
    value = value * static_cast<std::uint64_t>(base) + digitValue;
  }
  return value;
}

Bytes ReadInput(const std::string& path) {
  ReadOnlyFile file;
  if (!file.Open(path)) throw ToolError("cannot open " + path);
  Bytes content(static_cast<std::size_t>(file.Size()));
  if (!file.ReadAt(0, content.data(), content.size())) throw ToolError("cannot read " + path);
  return content;
}

void WriteOutput(const std::string& path, const Bytes& content, int mode) {
  const auto bits = mode >= 0 ? std::optional<unsigned>(static_cast<unsigned>(mode)) : std::nullopt;
  if (!WriteFileAtomically(path, content, bits)) throw ToolError("cannot write " + path);
}

}  // namespace fwu::tool
