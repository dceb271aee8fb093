#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace fwu::tool {

// Bad command line: the tool prints the message and exits with 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// The command could not be carried out: message, exit status 1.
struct ToolError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct OptionRule {
  std::string name;  // with its dashes: "-o", "--rtf"
  bool takesValue = true;
  bool repeatable = false;
};

class ParsedOptions {
 public:
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The option's single value, or `fallback` when it was not given.
  std::string Value(const std::string& name, const std::string& fallback = {}) const;
  std::string Required(const std::string& name) const;
  std::vector<std::string> Values(const std::string& name) const;
  const std::vector<std::string>& Positionals() const { return positionals_; }
  bool HelpWanted() const { return help_; }

 private:
  friend ParsedOptions ParseOptions(const std::vector<std::string>&, const std::vector<OptionRule>&);
  std::map<std::string, std::vector<std::string>> values_;
  std::vector<std::string> positionals_;
  bool help_ = false;
};

// Accepts "--name value" and "--name=value"; "--help" is always known.
ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<OptionRule>& rules);

// Decimal, or hexadecimal with "0x"; refused when above `max`.
std::uint64_t ParseNumber(const std::string& text, std::uint64_t max, const std::string& what);

Bytes ReadInput(const std::string& path);
// The file appears complete under its name or not at all; `mode` (when
// not negative) gives its permission bits.
void WriteOutput(const std::string& path, const Bytes& content, int mode = -1);

}  // namespace fwu::tool
