#include "cli/argument_checks.h"

#include "bundle/initial_setting.h"
#include "platform/ascii_case.h"
#include "platform/binary_file.h"
#include "platform/files.h"

namespace fwu {

namespace {

bool IsLogWord(const std::string& word) { return AsciiLower(word) == "log"; }

// What follows the command word, counted: "1 argument given".
std::string GivenCount(const Arguments& arguments) {
  const std::size_t given = arguments.size() - 1;
  return std::to_string(given) + (given == 1 ? " argument given" : " arguments given");
}

// The ROM download's values go into fixed fields of the control record,
// which keep one byte for their terminating zero.
std::string FieldTooLong(const std::string& name, const std::string& value, InitialSetting::Field field) {
  const std::size_t limit = field.width - 1;
  if (value.size() <= limit) return {};
  return name + " \"" + value + "\" is " + std::to_string(value.size()) + " characters long; the " + name +
         " field holds at most " + std::to_string(limit);
}

}  // namespace

std::string UnreadableFileReason(const std::string& path) {
  if (!FileExists(path)) return "no such file: " + path;
  ReadOnlyFile file;
  if (!file.Open(path)) return "cannot read " + path + " (not a readable file)";
  return {};
}

std::string CheckPresetArguments(const Arguments& arguments) {
  const std::string verb = AsciiLower(arguments[0]);
  if (arguments.size() < 4 || arguments.size() > 6)
    return verb + " takes ADDRESS PASSWORD ROMID, then FILE and/or log; " + GivenCount(arguments);
  const std::string& romId = arguments[3];
  const bool fileGiven = arguments.size() >= 5 && !IsLogWord(arguments[4]);
  if (!fileGiven && romId != "null" && FileExists(romId))
    return "ROMID " + romId + " is a file: did you mean " + verb + " ADDR PW null FILE?";
  if (fileGiven) {
    if (std::string reason = UnreadableFileReason(arguments[4]); !reason.empty()) return reason;
  }
  if (arguments.size() == 6 && !IsLogWord(arguments[5]))
    return "only \"log\" may follow FILE, not \"" + arguments[5] + "\"";
  return {};
}

std::string CheckRomArguments(const Arguments& arguments) {
  if (arguments.size() != 7)
    return "get takes ADDRESS PASSWORD ROMID OFFSET LENGTH FILE; " + GivenCount(arguments);
  for (const std::string& reason : {FieldTooLong("ROM offset", arguments[4], InitialSetting::kRomOffset),
                                    FieldTooLong("ROM length", arguments[5], InitialSetting::kRomLength),
                                    FieldTooLong("ROM file name", arguments[6], InitialSetting::kRomFile)}) {
    if (!reason.empty()) return reason;
  }
  return {};
}

std::string CheckFileArguments(const Arguments& arguments) {
  for (const std::string& path : arguments) {
    if (std::string reason = UnreadableFileReason(path); !reason.empty()) return reason;
  }
  return {};
}

std::string CheckNoMoreArguments(const Arguments& arguments) {
  if (arguments.size() <= 1) return {};
  return AsciiLower(arguments[0]) + " takes no argument, not \"" + arguments[1] + "\"";
}

std::string CheckJsonOption(const Arguments& arguments) {
  if (arguments.size() == 1 || (arguments.size() == 2 && arguments[1] == kJsonOption)) return {};
  return AsciiLower(arguments[0]) + " takes only " + kJsonOption + ", not \"" + arguments.back() + "\"";
}

}  // namespace fwu
