#include <iostream>

#include "bundle/initial_setting.h"
#include "commands.h"
#include "tool_support.h"

namespace fwu::tool {

namespace {

constexpr const char* kHelp =
    "usage: fwbundle control -o FILE [options]\n"
    "Writes the 224-byte control file an upgrade bundle carries.\n"
    "  -o FILE              where to write it (required)\n"
    "  --dst-ip A           router address (17 characters at most)\n"
    "  --password P         router password (17)\n"
    "  --method M           get, put, set or a number 0-255 (default set)\n"
    "  --upgrade-file PATH  upgrade file on the PC (63); not with the --rom options\n"
    "  --rom-file F         with get: file the ROM data is saved to (31)\n"
    "  --rom-offset N       with get: ROM offset, decimal or 0x hex (15)\n"
    "  --rom-length N       with get: ROM length, decimal or 0x hex (15)\n"
    "  --rom-id ID          ROM identifier for the search (15)\n"
    "  --flags N            flag byte (default 159)\n"
    "  --search-ip1..4 A    fixed search addresses (default \"default\", 17)\n"
    "  --caption TEXT       window caption (default \"default\", 31)\n"
    "  --timeout N          stall time-out in seconds, -128 to 255; 0 keeps 20 (default 0)\n"
    "  --method-order N     0 default, 1 HTTP, 2 FTP, 3 TFTP first (default 0)\n";

void SetText(InitialSetting& setting, InitialSetting::Field field, const std::string& option,
             const std::string& text) {
  if (!setting.SetText(field, text)) {
    throw UsageError(option + ": \"" + text + "\" is longer than " + std::to_string(field.width - 1) +
                     " characters");
  }
}

std::uint8_t MethodByte(const std::string& text) {
  if (text == "get") return InitialSetting::kMethodGet;
  if (text == "put") return InitialSetting::kMethodPut;
  if (text == "set") return InitialSetting::kMethodSet;
  return static_cast<std::uint8_t>(ParseNumber(text, 255, "--method"));
}

// The field stores text that the program reads as a number later, so the
// text must be one now.
void SetNumberText(InitialSetting& setting, InitialSetting::Field field, const std::string& option,
                   const std::string& text) {
  ParseNumber(text, UINT32_MAX, option);
  SetText(setting, field, option, text);
}

}  // namespace

int RunControl(const std::vector<std::string>& args) {
  std::vector<OptionRule> rules{{"-o"},           {"--dst-ip"},   {"--password"},   {"--method"},
                                {"--upgrade-file"}, {"--rom-file"}, {"--rom-offset"}, {"--rom-length"},
                                {"--rom-id"},       {"--flags"},    {"--caption"},    {"--timeout"},
                                {"--method-order"}};
  for (int i = 1; i <= 4; ++i) rules.push_back({"--search-ip" + std::to_string(i)});
  const ParsedOptions options = ParseOptions(args, rules);
  if (options.HelpWanted()) {
    std::cout << kHelp;
    return 0;
  }
  if (!options.Positionals().empty()) throw UsageError("unexpected argument " + options.Positionals().front());
  const std::string output = options.Required("-o");
  const bool romFields = options.Has("--rom-file") || options.Has("--rom-offset") || options.Has("--rom-length");
  // The ROM fields are stored inside the upgrade file's field.
  if (romFields && options.Has("--upgrade-file")) throw UsageError("--upgrade-file and the --rom options share one field");

  InitialSetting setting;
  SetText(setting, InitialSetting::kDstIP, "--dst-ip", options.Value("--dst-ip"));
  SetText(setting, InitialSetting::kPassWd, "--password", options.Value("--password"));
  setting.SetByte(InitialSetting::kMethodOffset, MethodByte(options.Value("--method", "set")));
  if (options.Has("--upgrade-file")) {
    SetText(setting, InitialSetting::kUpgradeFile, "--upgrade-file", options.Value("--upgrade-file"));
  }
  if (romFields) {
    SetText(setting, InitialSetting::kRomFile, "--rom-file", options.Required("--rom-file"));
    SetNumberText(setting, InitialSetting::kRomOffset, "--rom-offset", options.Required("--rom-offset"));
    SetNumberText(setting, InitialSetting::kRomLength, "--rom-length", options.Required("--rom-length"));
  }
  SetText(setting, InitialSetting::kROMID, "--rom-id", options.Value("--rom-id"));
  setting.SetByte(InitialSetting::kFlagsOffset,
                  static_cast<std::uint8_t>(ParseNumber(options.Value("--flags", "159"), 255, "--flags")));
  for (int i = 0; i < 4; ++i) {
    const std::string option = "--search-ip" + std::to_string(i + 1);
    SetText(setting, InitialSetting::kSearchIP[static_cast<std::size_t>(i)], option, options.Value(option, "default"));
  }
  SetText(setting, InitialSetting::kCaption, "--caption", options.Value("--caption", "default"));

  // A signed byte: -1 and 255 are the same stored value.
  const std::string timeout = options.Value("--timeout", "0");
  const bool negative = !timeout.empty() && timeout[0] == '-';
  const auto magnitude = ParseNumber(negative ? timeout.substr(1) : timeout, negative ? 128 : 255, "--timeout");
  setting.SetByte(InitialSetting::kTimeOutOffset, static_cast<std::uint8_t>(negative ? 256 - magnitude : magnitude));
  setting.SetByte(InitialSetting::kMethodOrderOffset,
                  static_cast<std::uint8_t>(ParseNumber(options.Value("--method-order", "0"), 3, "--method-order")));

  WriteOutput(output, Bytes(setting.Raw().begin(), setting.Raw().end()));
  return 0;
}

}  // namespace fwu::tool
