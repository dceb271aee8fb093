#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fwu {

// The simulator's command line: each service declares its own switches, so a
// new service adds its behaviours without touching the parser or main().
class SwitchTable {
 public:
  // apply gets the switch's value (empty for a flag) and returns an error
  // text, empty when the value is acceptable.
  using Apply = std::function<std::string(const std::string& value)>;

  // valueName empty: a flag without value.
  void Add(std::string name, std::string valueName, std::string help, Apply apply);

  // Applies every switch in order. Returns an error text, empty on success.
  std::string Parse(const std::vector<std::string>& args) const;

  std::string HelpText() const;

 private:
  struct Switch {
    std::string name;
    std::string valueName;
    std::string help;
    Apply apply;
  };
  const Switch* Find(const std::string& name) const;

  std::vector<Switch> switches_;
};

// Parses a whole decimal number in [min, max]; false for anything else.
bool ParseNumber(const std::string& text, long long min, long long max, long long& value);

// The values several services' switches take: a port 1..65535, and a
// byte count.
SwitchTable::Apply PortSwitch(std::uint16_t& port);
SwitchTable::Apply ByteCountSwitch(std::optional<std::uint64_t>& count);

}  // namespace fwu
